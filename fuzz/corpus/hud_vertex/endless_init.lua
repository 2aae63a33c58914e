function init() while true do end end
function update() while true do end end
