#line 0 "p.pmp"
LOCAL YiKgKHCA

#line 1
YiKgKHCA = (k)
#line 3
IF (YiKgKHCA!=(1))
    GOTO PML1
#line 4
    a = 1
#line 5
GOTO PML2
#line 6
:PML1
IF ((YiKgKHCA<(2))||(YiKgKHCA>(5)))
    GOTO PML3
#line 7
    a = 2
#line 8
:PML3
#line 9
    a = 0
#line 1
:PML2
#line 11

CLEAR YiKgKHCA
