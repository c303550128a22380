LOCAL YiKgKHCA
LOCAL YiKgKHCB

YiKgKHCA = (a)
YiKgKHCB = (b)
        x = 1

CLEAR YiKgKHCA
CLEAR YiKgKHCB
