/* No message at all. */
typedef int unused_t;
