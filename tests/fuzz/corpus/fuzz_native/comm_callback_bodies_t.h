/* Message structures of the communication cases. */
typedef int conn_t;
typedef struct { int a; int b; } Ping;
typedef struct { int code; int size; } Pong;
typedef struct { int code; char *text; } Note;
typedef struct { int beat; int rate; } Beat;
typedef struct { Ping inner; int extra; } Wrap;
typedef struct { int x; int y; } Point;
