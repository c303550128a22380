x = 10 + "a
b"
y = 1 + "p
q"
