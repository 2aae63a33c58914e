vertex = nil
PlayerHUD = nil
function init() end
