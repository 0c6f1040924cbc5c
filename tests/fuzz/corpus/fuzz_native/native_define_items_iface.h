#if !defined DEBUG || DEBUG != 1 || LEVEL != 3 || defined A
#error the defines were not applied
#endif
int level[LEVEL];
