-- Finalizers run with hooks off: no budget stops this one.
setmetatable({}, { __gc = function() while true do end end })
collectgarbage()
