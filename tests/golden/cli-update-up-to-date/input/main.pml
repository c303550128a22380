kept
