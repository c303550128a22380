#line 1 "main.pmp"
a = 1
#line 1 "<inc.pmp>"
d = 3
#line 3 "main.pmp"
b = 2
