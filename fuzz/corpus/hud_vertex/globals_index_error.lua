setmetatable(_G, {__index = function() error('no such global') end, __newindex = function() error('read only') end})
