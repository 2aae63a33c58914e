local f = load(string.dump(function() return 1 end))
function init() if f then f() end end
