:PML1
    n = n - 1
    IF (n == 3)
GOTO PML3
IF (n!=1)
    GOTO PML4
GOTO PML5
:PML4
GOTO PML3
:PML3
IF (n>0)
    GOTO PML1
:PML5
m = 1
