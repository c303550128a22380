#line 2 "x.pmp"
a = 5
#line 4
b = + 1
#line 6
c = 6
