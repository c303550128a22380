#line 1 "p.pmp"
IF ((x)==0)
    GOTO PML1
#line 3
    EXIT
#line 1
:PML1
#line 5
EXIT
