#line 1 "demo.pmp"
x = 0
#line 2
GOTO PML1
:PML2
#line 4
    x = x + 1
#line 2
:PML1
IF (x<3)
    GOTO PML2
