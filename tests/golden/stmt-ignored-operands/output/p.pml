LOCAL YiKgKHCA

YiKgKHCA = (k)
IF (YiKgKHCA!=(1))
    GOTO PML1
GOTO PML2
:PML1
:PML3
        x = 1
IF (x)
    GOTO PML3
:PML2
IF ((a)==0)
    GOTO PML4
    b = 1
GOTO PML5
:PML4
    b = 3
:PML5

CLEAR YiKgKHCA
