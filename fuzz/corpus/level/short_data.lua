return { layers = { { width = 3, height = 3, data = { 1, nil, 2 } }, { data = {} } } }
