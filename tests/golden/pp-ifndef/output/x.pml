#line 2 "x.pmp"
a = 1
#line 10
b = 2
