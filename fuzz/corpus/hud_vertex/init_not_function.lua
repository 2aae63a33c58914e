init = 5
update = setmetatable({}, {__call = function() end})
