local x = 1
