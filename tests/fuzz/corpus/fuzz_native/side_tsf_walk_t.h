/* One message of the system under test. */
typedef int conn_t;
typedef struct { int a; int b; } Ping;
