/* Aligned allocation for the vector types. As with the compiler's own
   header, <stdlib.h> comes with it when the C library is on the path. */
#ifndef _KV_MM_MALLOC_H
#define _KV_MM_MALLOC_H
#if defined __has_include && __STDC_HOSTED__
#if __has_include(<stdlib.h>)
#include <stdlib.h>
#endif
#endif
extern void* _mm_malloc(__SIZE_TYPE__ __size, __SIZE_TYPE__ __alignment);
extern void _mm_free(void* __ptr);
#endif
