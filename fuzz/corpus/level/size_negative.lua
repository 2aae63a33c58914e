return { layers = { { width = -3, height = -2, data = { 1 } }, { data = { 1 } } } }
