/* A library header of the kind that keeps vectors in its structures and
   counters in atomics. */
#include <stdatomic.h>
#include <iso646.h>
#include <immintrin.h>

#if not defined _MM_SHUFFLE or not defined _MM_FROUND_CEIL or ATOMIC_INT_LOCK_FREE != 2
#error intrinsics not declared
#endif

typedef struct {
    __m128i key;
    __m128 scale;
    atomic_int users;
    atomic_flag busy;
} cipher_state;

extern cipher_state state;
extern __m128i mix(__m128i a, __m128i b);
