#line 2 "x.pmp"
a = 1
#line 5
b = 2
