i=0
GOTO PML1
:PML2
    s = s + i
i=i+1
:PML1
IF (i<10)
    GOTO PML2
