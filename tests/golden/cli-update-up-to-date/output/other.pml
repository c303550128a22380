#line 1 "other.pmp"
y = 2
