IF (a!=1)
    GOTO PML1
    b = 2
GOTO PML2
:PML1
    b = 3
:PML2
e = 4
