#line 2 "x.pmp"
x = 1
#line 4
y = 2
#line 6
w = AA + A_1 + "A" + 2
