return { layers = { { width = 100000, height = 100000, data = {} }, { data = {} } } }
