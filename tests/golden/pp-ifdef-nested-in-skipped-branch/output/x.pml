#line 9 "x.pmp"
c = 1
#line 14
e = 1
