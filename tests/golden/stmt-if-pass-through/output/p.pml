#line 1 "p.pmp"
IF (a == 1)
    b = 2
e = 4
