local co = coroutine.wrap(function() coroutine.yield({ layers = { { width = 1, height = 1, data = { 7 } }, { data = { 1 } } } }) end)
return co()
