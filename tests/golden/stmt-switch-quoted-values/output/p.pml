LOCAL YiKgKHCA

YiKgKHCA = (s)
IF (YiKgKHCA!=("a:b"))
    GOTO PML1
    r = 1
GOTO PML3
:PML1
IF ((YiKgKHCA<("x"))||(YiKgKHCA>("z")))
    GOTO PML2
:PML3
    r = 2
:PML2

CLEAR YiKgKHCA
