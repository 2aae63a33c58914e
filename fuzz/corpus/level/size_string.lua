return { layers = { { width = '3', height = '1', data = { 1, 1, 1 } }, { data = { 1, 1, 1 } } } }
