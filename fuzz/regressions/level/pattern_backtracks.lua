-- Twenty stars against forty letters: the matcher backtracks for ages.
string.find(string.rep('a', 40), string.rep('a*', 20) .. 'b')
return { layers = { { width = 1, height = 1, data = { 6 } }, { data = { 1 } } } }
