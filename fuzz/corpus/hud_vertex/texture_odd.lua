local V, H = vertex, PlayerHUD
pcall(V.resize, H, 4)
pcall(V.texture, H, 1, {left = 10, top = 20, width = 30, height = 40})
pcall(V.texture, H, 1, {left = 1e10, top = -1e10, width = 1, height = 1})
pcall(V.texture, H, 2, {left = 0, top = 0, width = 1, height = 1})
pcall(V.texture, H, 1, {width = 5})
pcall(V.texture, H, 1, nil)
pcall(V.texture, H, '1', {left = 0, top = 0, width = 1, height = 1})
pcall(V.texture, 0, 1, {left = 0, top = 0, width = 1, height = 1})
