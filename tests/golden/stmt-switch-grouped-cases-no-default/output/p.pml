LOCAL YiKgKHCA

YiKgKHCA = (c)
IF (YiKgKHCA!=(1))
    GOTO PML1
GOTO PML3
:PML1
IF ((YiKgKHCA<(3))||(YiKgKHCA>(4)))
    GOTO PML2
:PML3
    y = 1
GOTO PML4
:PML2
IF (YiKgKHCA!=(9))
    GOTO PML5
    y = 2
:PML5
:PML4

CLEAR YiKgKHCA
