/* Functions of the system under test. */
int get(int a, char *s);
void put(int *out, long n);
long total(int n);
