#line 1 "p.pmp"
REM IF (a) 
IF ((a)==0)
    GOTO PML1
#line 1
REM {
#line 2
    x = 1
#line 3
REM } 
#line 3
GOTO PML2
:PML1
#line 3
REM ELSE IF (b) 
IF ((b)==0)
    GOTO PML3
#line 3
REM {
#line 4
    x = 2
#line 5
REM } 
#line 5
REM ELSE 
GOTO PML4
:PML3
#line 5
REM {
#line 6
    x = 3
#line 7
REM }
#line 3
:PML4
#line 1
:PML2
