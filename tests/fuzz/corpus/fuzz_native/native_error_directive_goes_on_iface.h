#error this header is old
struct late { int a; } b
int c;
