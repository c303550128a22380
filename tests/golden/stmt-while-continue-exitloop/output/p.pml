GOTO PML1
:PML2
    i = i + 1
    IF (i == 5)
GOTO PML1
    IF (i == 8)
GOTO PML5
    s = s + i
GOTO PML1
:PML1
IF (i<10)
    GOTO PML2
:PML5
done = 1
