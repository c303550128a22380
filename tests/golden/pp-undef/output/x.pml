#line 3 "x.pmp"
a = 1 + 2
#line 5
b = FOO + 2
#line 7
c = FOO + foo
