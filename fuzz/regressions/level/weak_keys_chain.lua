-- A chain of weak-keyed tables, each holding the key of the next, listed so that every pass of the
-- garbage collector over them marks only one more: the collector's last, uninterrupted step goes
-- over the whole list once for every link, for minutes.
local n = 100000
local mode = { __mode = "k" }
local keys, links = {}, {}
for i = 0, 2 * n do keys[i] = {} end
for i = 1, 2 * n do
    links[i] = setmetatable({}, mode)
    links[i][keys[i - 1]] = keys[i]
end
Chain = { keys[0] }
for j = n, 1, -1 do Chain[#Chain + 1] = links[2 * j] end
for j = 1, n do Chain[#Chain + 1] = links[2 * j - 1] end
keys, links = nil, nil
-- Garbage until the collector has been round once with the chain in that order.
for i = 1, 5000000 do local garbage = {} end
return { layers = { { width = 1, height = 1, data = { 1 } }, { data = { 0 } } } }
