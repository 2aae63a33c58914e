return { layers = { { width = 2, height = 1, data = { 1e300, -1e300 } }, { data = { 1, 1 } } } }
