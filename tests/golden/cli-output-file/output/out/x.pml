IF (a)
    b = 1
CHAIN other
