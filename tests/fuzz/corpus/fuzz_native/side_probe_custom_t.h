/* Two messages of the system under test. */
typedef int conn_t;
typedef struct { int code; int size; } Order;
typedef struct { int a; int b; } Ping;
