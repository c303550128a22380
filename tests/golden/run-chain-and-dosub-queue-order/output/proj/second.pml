#line 1 "second.pmp"
b = 2
DOSUB lib\fourth
