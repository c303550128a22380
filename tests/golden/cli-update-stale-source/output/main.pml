#line 1 "main.pmp"
x = 1
