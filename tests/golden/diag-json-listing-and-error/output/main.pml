LOCAL Cu4wWPkA

Cu4wWPkA = (k)
IF (Cu4wWPkA!=(1))
    GOTO PML1
    a = 1
:PML1
CHAIN next

CLEAR Cu4wWPkA
