
:PML1
    x = x + 1
GOTO PML1
