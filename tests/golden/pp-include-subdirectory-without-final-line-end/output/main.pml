#line 1 "main.pmp"
a = 1
#line 2 "<sub/inc.pmp>"
c = 3
d = 4
#line 3 "main.pmp"
b = 2
