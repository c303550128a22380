#line 1 "third.pmp"
c = 3
