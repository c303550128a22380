LOCAL YiKgKHCA

YiKgKHCA = (k)
IF (YiKgKHCA!=(1))
    GOTO PML1
IF ((a)==0)
    GOTO PML2
        b = 1
GOTO PML3
:PML2
GOTO PML4
:PML3
    c = 1
:PML1
:PML4

CLEAR YiKgKHCA
