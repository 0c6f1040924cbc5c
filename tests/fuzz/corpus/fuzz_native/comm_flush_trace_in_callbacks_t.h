typedef int conn_t;
typedef struct { int a; int b; } Ping;
