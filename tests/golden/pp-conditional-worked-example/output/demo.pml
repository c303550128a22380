#line 3 "demo.pmp"
x = 1
#line 7
y = 1
