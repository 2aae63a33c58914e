-- The debug library can switch the instruction budget off.
debug.sethook()
while true do end
