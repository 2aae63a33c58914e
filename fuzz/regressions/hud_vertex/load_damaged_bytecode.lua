-- load accepts precompiled chunks, which the interpreter runs unchecked.
local f = string.dump(function() local t = {1, 2, 3} return t[1] end)
local i = f:find("\65\0\0\0", 1, true)
local bad = f:sub(1, i) .. "\192\255\255" .. f:sub(i + 4)
return load(bad)()
