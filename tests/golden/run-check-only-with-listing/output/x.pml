x = 0
GOTO PML1
:PML2
    x = x + 1
:PML1
IF (x<3)
    GOTO PML2
