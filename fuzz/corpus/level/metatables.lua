local layer = setmetatable({}, { __index = function() error('no') end })
local layers = setmetatable({ layer, layer }, { __index = function() error('no') end, __len = function() return 99 end })
return setmetatable({ layers = layers }, { __index = error, __gc = function() error('gc') end })
