#line 0 "p.pmp"
LOCAL YiKgKHCA

#line 1
YiKgKHCA = (k)
#line 3
IF (YiKgKHCA!=(1))
    GOTO PML1
#line 4
GOTO PML2
#line 5
:PML1
#line 6
    y = 0
#line 8
GOTO PML2
#line 9
:PML2

CLEAR YiKgKHCA
