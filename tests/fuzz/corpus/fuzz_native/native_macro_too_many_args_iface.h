/* Too many arguments to a macro end the run. */
#define ONE(a) a
int x[ONE(1, 2)];
int after[-1];
