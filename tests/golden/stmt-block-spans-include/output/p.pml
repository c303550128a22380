#line 1 "<head.pmp>"
GOTO PML1
:PML2
#line 3
    x = x + 1
#line 1 "p.pmp"
:PML1
IF (x<3)
    GOTO PML2
#line 3
y = 1
