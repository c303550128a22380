:PML1
ARRAY a[2] =
{
1, 2
}
IF (n>0)
    GOTO PML1
