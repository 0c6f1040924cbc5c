#ifdef __STDC__
int prototype(int a, char *b);
#else
#warning non-standard branch
int prototype();
#endif
