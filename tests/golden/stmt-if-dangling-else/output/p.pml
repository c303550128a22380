IF ((a)==0)
    GOTO PML1
IF ((b)==0)
    GOTO PML2
        x = 1
GOTO PML3
:PML2
        x = 2
:PML3
GOTO PML4
:PML1
    x = 3
:PML4
y = 0
