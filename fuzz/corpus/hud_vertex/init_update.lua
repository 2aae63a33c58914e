local V, H = vertex, PlayerHUD
function init(banner)
  V.resize(H, math.floor(banner.width / 10))
  V.setType(H, 'Quad')
  for q = 1, math.floor(banner.width / 40) do
    V.position(H, q, {left = q * 4, top = banner.top, width = 4, height = banner.height})
  end
end
function update(lives, counts)
  V.recolor(H, 0, 4, {lives, counts.Red, counts.Blue})
end
