/* Two message types, one on a multiplexed communication type. */
typedef int conn_t;
typedef struct { int a; int b; } Ping;
typedef struct { int code; } Note;
