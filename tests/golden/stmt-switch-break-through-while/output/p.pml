LOCAL YiKgKHCA

YiKgKHCA = (k)
IF (YiKgKHCA!=(1))
    GOTO PML1
GOTO PML2
:PML3
        x = x - 1
GOTO PML4
:PML2
IF (x)
    GOTO PML3
    y = 1
:PML1
    y = 2
:PML4

CLEAR YiKgKHCA
