local V, H = vertex, PlayerHUD
local co = coroutine.wrap(function() V.resize(H, 16) coroutine.yield() V.recolor(H, 0, 16, {1,2,3}) end)
co()
function update() co() end
