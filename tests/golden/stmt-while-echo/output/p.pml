x = 0
REM WHILE (x < 3)
GOTO PML1
:PML2
REM {
    x = x + 1
REM }
:PML1
IF (x<3)
    GOTO PML2
