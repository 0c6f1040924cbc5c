/* One message type sent on one channel. */
typedef int conn_t;
typedef struct { int code; int size; } Order;
