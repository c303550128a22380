LOCAL YiKgKHCA
LOCAL YiKgKHCB

YiKgKHCA = (a)
IF (YiKgKHCA!=(1))
    GOTO PML1
YiKgKHCB = (b)
IF (YiKgKHCB!=(2))
    GOTO PML2
        x = 1
:PML2
GOTO PML3
:PML1
IF (YiKgKHCA!=(3))
    GOTO PML4
    x = 3
:PML4
:PML3

CLEAR YiKgKHCA
CLEAR YiKgKHCB
