i=0
GOTO PML1
:PML2
    IF (i == 2)
GOTO PML4
    IF (i == 7)
GOTO PML6
    s = s + i
GOTO PML4
:PML4
i=i+1
:PML1
IF (i<10)
    GOTO PML2
:PML6
