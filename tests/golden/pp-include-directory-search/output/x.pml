#line 2 "<a.pmp>"
a = 1
#line 1 "<b.pmp>"
b = 1
