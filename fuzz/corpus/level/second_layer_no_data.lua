return { layers = { { width = 1, height = 1, data = { 1 } }, { } } }
