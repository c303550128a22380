LOCAL NvtWRErA

REM Grading example: grade five marks, count the passes, then run the report.
REM Definitions shared by the scripts of the grading example.

ARRAY marks[5] = {
    72, 45, 91, 60, 38
}
REM A debug build also keeps every grade.
ARRAY grades[5]

passed = 0
i=0
GOTO PML1
:PML2
    mark = marks[i]
NvtWRErA = (mark/10)
IF ((NvtWRErA<(9))||(NvtWRErA>(10)))
    GOTO PML3
        grade = 0x41
GOTO PML4
:PML3
IF ((NvtWRErA<(7))||(NvtWRErA>(8)))
    GOTO PML5
        grade = 0x42
GOTO PML4
:PML5
IF (NvtWRErA!=(5))
    GOTO PML6
GOTO PML8
:PML6
IF (NvtWRErA!=(6))
    GOTO PML7
:PML8
        grade = 0x43
GOTO PML4
:PML7
        grade = 0x46
:PML4
    IF (mark >= 50)
        passed = passed + 1
    grades[i] = grade
i=i+1
:PML1
IF (i<5)
    GOTO PML2

IF (passed == 0)
GOTO PML11
CHAIN report
:PML11

CLEAR NvtWRErA
