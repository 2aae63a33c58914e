local data = {}
for i = 1, 12 do data[i] = 1 end
return { layers = { { width = 1, height = 12, data = data }, { data = data } } }
