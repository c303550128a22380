REM IF (a == 1)
IF (a!=1)
    GOTO PML1
    b = 1
GOTO PML2
:PML1
REM ELSE IF (a == 2)
IF (a!=2)
    GOTO PML3
    b = 2
REM ELSE
GOTO PML4
:PML3
    b = 3
:PML4
:PML2
c = 0
