CHAIN gone
CHAIN there
