return { layers = { { width = 3, height = 1, data = { 0/0, 1/0, -1/0 } }, { data = { 0/0, 1, 1 } } } }
