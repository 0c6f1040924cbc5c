/* Orders travel over links identified by a connection number. */
typedef int conn_t;
typedef struct { int code; int qty; } Order;
