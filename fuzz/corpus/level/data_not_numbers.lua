return { layers = {
  { width = 2, height = 2, data = { "1", true, {}, function() end } }, { data = { 0, 0, 0, 0 } } } }
