return { layers = { { width = 0, height = 5, data = {} }, { data = {} } } }
