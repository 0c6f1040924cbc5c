struct pt { int x; int y; };
int get(int a, char *s);
void put(int *out, long n);
int report(const char *fmt, ...);
int none(void);
int legacy();
struct pt where(void);
#define TWICE(a, b) ((a) + (b))
