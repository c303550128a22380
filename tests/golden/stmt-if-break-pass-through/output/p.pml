LOCAL YiKgKHCA

YiKgKHCA = (k)
IF (YiKgKHCA!=(1))
    GOTO PML1
    IF (x)
    REM only when x
GOTO PML3
    y = 1
:PML1
:PML3

CLEAR YiKgKHCA
