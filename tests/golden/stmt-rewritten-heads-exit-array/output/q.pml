#line 3 "q.pmp"
IF (a == 1)
#line 4
  b = 2
#line 5
IF (x)
  y = 1
#line 7
ARRAY t[2] = {
#line 8
2,
#line 9
  3 }
#line 10
EXIT 2
