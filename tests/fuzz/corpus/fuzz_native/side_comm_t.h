/* Messages and one checking function of the system under test. */
typedef int conn_t;
typedef struct { int code; int size; } Hdr;
typedef struct { Hdr hdr; int vals[3]; } Order;
typedef struct { int x; int y; } Point;
int check(int level, int *out);
