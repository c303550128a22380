CHAIN ./lib/x
DOSUB ../other
