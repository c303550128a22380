#line 1 "x.pmp"
a = 1
#line 2
    x = 1
#line 4
s = "p  /* q */"
#line 5
y = 2 + 3
#line 7
b = 2
