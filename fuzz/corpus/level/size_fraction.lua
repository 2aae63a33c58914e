return { layers = { { width = 2.7, height = 1.2, data = { 1, 2, 3 } }, { data = { 1, 1, 1 } } } }
