#line 2 "p.pmp"
ARRAY a[10] = {
#line 4
1, 2
}
x = 1
