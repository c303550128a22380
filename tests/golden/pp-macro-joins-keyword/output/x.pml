IFX = 1
IF ((b)==0)
    GOTO PML1
  c = 1
:PML1
WHILEX = 2
