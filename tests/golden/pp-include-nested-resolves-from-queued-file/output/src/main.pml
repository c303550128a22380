#line 2 "<b.pmp>"
b = 1
#line 2 "<lib/a.pmp>"
a = 1
#line 2 "main.pmp"
m = 1
