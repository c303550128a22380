CHAIN Z:lib\next
DOSUB ..\other
CHAIN Z:LIB/NEXT.PMP
