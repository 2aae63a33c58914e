-- Numbers whose two 32-bit halves add up to numbers 2^18 - 1 apart spread over a table of up to
-- 2^17 slots, but all fall into one chain once it grows to 2^18: the single assignment that grows
-- it puts 131,000 keys back one by one along that chain, for most of a minute, in one step of the
-- interpreter that no instruction count or clock check sees.
local t = {}
for j = 0, 4087 do
    local low = 2^20 + j * (2^18 - 1)
    for a = 0, 39 do t[(a * 2^32 + low - a) / 2^52] = true end
end
return { layers = { { width = 1, height = 1, data = { 1 } }, { data = { 0 } } } }
