#line 1 "x.pmp"
a = 1
CHAIN second
DOSUB third.txt
CHAIN second.pmp
