IF ((go)==0)
    GOTO PML1
GOTO PML2
:PML3
        n = n - 1
:PML2
IF (n)
    GOTO PML3
:PML1
done = 1
