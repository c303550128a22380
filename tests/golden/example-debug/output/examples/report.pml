REM Grading example, second script: a verdict and a row of stars.
REM Definitions shared by the scripts of the grading example.

IF (passed!=5)
    GOTO PML1
    verdict = "everybody passed"
GOTO PML2
:PML1
IF (passed<=5/2)
    GOTO PML3
    verdict = "most passed"
GOTO PML4
:PML3
    verdict = "too few passed"
    retake = 1
:PML4

:PML2
stars = ""
n = 0
GOTO PML5
:PML6
    n = n + 1
    IF (n > passed)
GOTO PML5
    stars = stars + "*"
:PML5
IF (n<5)
    GOTO PML6
