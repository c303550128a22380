IF ((a)==0)
    GOTO PML1
x = 1 
:PML1
y = 2
