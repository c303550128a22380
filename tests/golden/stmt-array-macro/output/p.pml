ARRAY a[10] = {
1, 2
}
ARRAY b[10] = {
3, 10
}
