LOCAL YiKgKHCA

YiKgKHCA = (k)
IF (YiKgKHCA!=(1))
    GOTO PML1
    a = 1
GOTO PML2
:PML1
IF ((YiKgKHCA<(2))||(YiKgKHCA>(5)))
    GOTO PML3
    a = 2
:PML3
    a = 0
:PML2

CLEAR YiKgKHCA
