return { layers = 'two' }
