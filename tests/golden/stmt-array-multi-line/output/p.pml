ARRAY a[3] =
{
    1, 2,
    3
}
x = 1
