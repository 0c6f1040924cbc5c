#define MAC(x,y) f2(x,y)
int f2(int,int);
int i;
