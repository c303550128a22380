#line 1 "report.pmp"
REM Grading example, second script: a verdict and a row of stars.
#line 1 "<defs.pmp>"
REM Definitions shared by the scripts of the grading example.
#line 3 "report.pmp"

#line 4
IF (passed!=5)
    GOTO PML1
#line 5
    verdict = "everybody passed"
#line 6
GOTO PML2
:PML1
#line 6
IF (passed<=5/2)
    GOTO PML3
#line 7
    verdict = "most passed"
#line 8
GOTO PML4
:PML3
#line 10
    verdict = "too few passed"
    retake = 1
#line 6
:PML4
#line 13

#line 4
:PML2
#line 14
stars = ""
n = 0
#line 16
GOTO PML5
:PML6
#line 18
    n = n + 1
    IF (n > passed)
#line 20
GOTO PML5
#line 21
    stars = stars + "*"
#line 16
:PML5
IF (n<5)
    GOTO PML6
