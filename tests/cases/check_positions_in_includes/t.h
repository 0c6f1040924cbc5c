int sut_value;
long lv;
char cv;
double dv;
#define KONST 3
enum { RED = 1 };
