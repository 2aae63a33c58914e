return { layers = 1 }, 'x', { layers = { { width = 1, height = 1, data = { 1 } }, { data = { 1 } } } }
