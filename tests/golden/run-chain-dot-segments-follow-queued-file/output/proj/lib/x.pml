CHAIN ./y
CHAIN z
