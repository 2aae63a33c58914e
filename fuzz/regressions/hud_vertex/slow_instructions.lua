-- Few instructions, each a slow one: converting a megabyte of spaces to a number.
local spaces = string.rep(' ', 2^20)
while true do local n = tonumber(spaces) end
