:PML1
    n = n - 1
IF (n>0)
    GOTO PML1
:PML2
IF (m)
    GOTO PML2
