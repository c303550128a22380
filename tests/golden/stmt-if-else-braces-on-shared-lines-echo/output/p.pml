#line 1 "p.pmp"
REM IF (a < b) 
IF (a>=b)
    GOTO PML1
#line 1
REM {
#line 2
    m = a
#line 3
REM } 
#line 3
REM ELSE 
GOTO PML2
:PML1
#line 3
REM {
#line 4
    m = b
#line 5
REM }
#line 1
:PML2
