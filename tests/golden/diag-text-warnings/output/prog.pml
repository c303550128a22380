#line 1 "prog.pmp"
#DEFIN LIMIT 10
#line 7
:PML1
#line 8
    count = count + 1
#line 9
IF (count<20)
    GOTO PML1
