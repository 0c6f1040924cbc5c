/* Faulty directives and macro calls: each gives its warning and the
   analysis goes on. */
#ifdef
#endif
#ifdef +X
#endif
#ifdef X trailing
#endif
#else
#ifndef X
#else
#elif 1
#endif
#endif
#undef
#undef defined
#undef __FILE__
#define 5 five
#define defined 1
#define OPEN(a
#define PAIR(a b) a
#define DIGIT(1a) 1
#define HASH(a) #b
#define QUOTE "open
#if
#endif
#if 1 / 0
#endif
#if 1 2
#endif
#if 1.5
#endif
#include
#define TWO(a, b) a
#define NONE() 4
int n1[TWO(1)];
int n2[TWO() 2];
int n3[NONE(1)];
#if 1
int last[2];
TWO(1, /* never closed
