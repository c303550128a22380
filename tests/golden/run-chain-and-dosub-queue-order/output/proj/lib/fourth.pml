#line 1 "fourth.pmp"
d = 4
