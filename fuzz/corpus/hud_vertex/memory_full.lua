local t = {}
pcall(function() while true do t = {t} end end)
function init() end
function update() end
