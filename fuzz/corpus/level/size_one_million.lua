return { layers = { { width = 1000, height = 1000, data = {} }, { data = {} } } }
