#line 1 "x.pmp"
a = 1
b = 2
