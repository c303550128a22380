#line 3 "x.pmp"
a = 1
