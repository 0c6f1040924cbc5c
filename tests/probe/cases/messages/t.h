/* Messages of the probe cases: plain structures and one with a union. */
typedef int conn_t;
typedef struct { int a; int b; } Ping;
typedef struct { int code; char *text; } Note;
typedef struct { int kind; union { int i; double d; } value; } Shape;
