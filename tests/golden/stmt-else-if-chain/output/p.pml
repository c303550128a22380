IF (a!=1)
    GOTO PML1
    b = 1
GOTO PML2
:PML1
IF (a==2)
    b = 2
:PML2
c = 0
