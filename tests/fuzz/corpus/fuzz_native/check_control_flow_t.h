int sut_value;
long lv;
char cv;
#define KONST 3
enum { RED = 1 };
