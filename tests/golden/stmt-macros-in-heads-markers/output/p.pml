#line 3 "p.pmp"
IF (x == 1)
#line 4
    y = 3
#line 5
GOTO PML2
:PML3
#line 6
    x = x + 1
#line 5
:PML2
IF (x<3)
    GOTO PML3
