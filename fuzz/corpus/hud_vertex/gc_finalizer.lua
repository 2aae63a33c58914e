for i = 1, 1000 do setmetatable({}, {__gc = function() error('finalizer') end}) end
function init() local t = {} for i = 1, 10000 do t[i] = {} end end
function update() local t = {} for i = 1, 10000 do t[i] = {} end end
