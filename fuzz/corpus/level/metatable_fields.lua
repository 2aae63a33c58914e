local mt = { __index = function(t, k) return 3 end }
return { layers = { setmetatable({ data = { 1, 1, 1, 1, 1, 1, 1, 1, 1 } }, mt), { data = setmetatable({}, mt) } } }
