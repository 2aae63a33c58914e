-- The loader counts instructions per coroutine, so each new one starts a fresh budget.
while true do coroutine.wrap(function() for i = 1, 1e7 do end end)() end
