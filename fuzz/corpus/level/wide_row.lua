local data, marks = {}, {}
for i = 1, 2000 do data[i] = i % 12; marks[i] = i % 7 end
return { layers = { { width = 2000, height = 1, data = data }, { data = marks } } }
