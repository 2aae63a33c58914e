local V, H = vertex, PlayerHUD
V.setType(H, 'Point')
V.resize(H, 3)
