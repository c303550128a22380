#line 2 "main.pmp"
x = 3
