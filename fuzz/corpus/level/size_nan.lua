return { layers = { { width = 0/0, height = 1/0, data = { 1 } }, { data = { 1 } } } }
