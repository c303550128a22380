#line 0 "main.pmp"
LOCAL NvtWRErA

#line 1
REM Grading example: grade five marks, count the passes, then run the report.
#line 1 "<defs.pmp>"
REM Definitions shared by the scripts of the grading example.
#line 3 "main.pmp"

#line 4
ARRAY marks[5] = {
#line 6
    72, 45, 91, 60, 38
}
#line 12

passed = 0
#line 14
i=0
GOTO PML1
:PML2
#line 16
    mark = marks[i]
#line 17
NvtWRErA = (mark/10)
#line 19
IF ((NvtWRErA<(9))||(NvtWRErA>(10)))
    GOTO PML3
#line 20
        grade = 0x41
#line 21
GOTO PML4
#line 22
:PML3
IF ((NvtWRErA<(7))||(NvtWRErA>(8)))
    GOTO PML5
#line 23
        grade = 0x42
#line 24
GOTO PML4
#line 25
:PML5
IF (NvtWRErA!=(5))
    GOTO PML6
#line 26
GOTO PML8
:PML6
IF (NvtWRErA!=(6))
    GOTO PML7
:PML8
#line 27
        grade = 0x43
#line 28
GOTO PML4
#line 29
:PML7
#line 30
        grade = 0x46
#line 17
:PML4
#line 32
    IF (mark >= 50)
#line 33
        passed = passed + 1
#line 14
i=i+1
:PML1
IF (i<5)
    GOTO PML2
#line 38

IF (passed == 0)
#line 40
GOTO PML11
#line 41
CHAIN report
:PML11

CLEAR NvtWRErA
