return { layers = {
  { width = 4, height = 3, data = { 1, 2, 3, 4,  0, 5, 0, 10,  6, 7, 8, 9 } },
  { data = { 0, 0, 0, 1,  0, 1, 0, 0,  1, 0, 0, 1 } } } }
