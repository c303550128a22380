CHAIN next
