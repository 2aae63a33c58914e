-- A finalizer runs with hooks off: the loader cannot stop it.
setmetatable({}, { __gc = function() while true do end end })
return { layers = { { width = 2, height = 1, data = { 1, 1 } }, { data = { 0, 1 } } } }
