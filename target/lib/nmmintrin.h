/* SSE4.2: declared with SSE4.1 in <smmintrin.h>. */
#ifndef _KV_NMMINTRIN_H
#define _KV_NMMINTRIN_H
#include <smmintrin.h>
#endif
