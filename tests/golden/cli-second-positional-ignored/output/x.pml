#line 1 "x.pmp"
a = 1
