/* Declarations that the analyser rejects, one fault each: each is reported
   and the analysis goes on, up to a nesting too deep, after which nothing
   more of the file is analysed. */
extern int g;
enum e1 { E1 = g };
_Static_assert(sizeof(char) == 2, "char is not two bytes");
struct r1 { int a; };
struct r1 { int b; };
union r1 *u1;
int c1;
long c1;
typedef int t1;
typedef long t1;
enum e2 { D1, D1 };
struct m1 { int a; };
int m2[sizeof(((struct m1 *)0)->b)];
int o1[sizeof(*1)];
int o2[sizeof(1[2])];
int o3[sizeof(1(2))];
int o4[sizeof((struct m1 *)0 + (struct m1 *)0)];
int z1[-1];
struct i1 { struct nowhere m; };
struct d1 { int a; int a; };
void d2(int p, int p);
struct b1 { int w : 40; };
int s1[sizeof(struct nowhere)];
int deep[(((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((1)))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))];
int never_seen[-2];
