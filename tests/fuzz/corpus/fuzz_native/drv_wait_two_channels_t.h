/* A message with a nested header, expected on two channels. */
typedef int conn_t;
typedef struct { int code; int size; } Hdr;
typedef struct { Hdr hdr; int tag; } Order;
