/* SSE3: horizontal and mixed operations. */
#ifndef _KV_PMMINTRIN_H
#define _KV_PMMINTRIN_H

#include <emmintrin.h>

#define _MM_DENORMALS_ZERO_MASK 0x0040
#define _MM_DENORMALS_ZERO_ON 0x0040
#define _MM_DENORMALS_ZERO_OFF 0x0000
#define _MM_SET_DENORMALS_ZERO_MODE(mode) _mm_setcsr((_mm_getcsr() & ~_MM_DENORMALS_ZERO_MASK) | (mode))
#define _MM_GET_DENORMALS_ZERO_MODE() (_mm_getcsr() & _MM_DENORMALS_ZERO_MASK)

extern __m128 _mm_addsub_ps(__m128 __x, __m128 __y);
extern __m128 _mm_hadd_ps(__m128 __x, __m128 __y);
extern __m128 _mm_hsub_ps(__m128 __x, __m128 __y);
extern __m128 _mm_movehdup_ps(__m128 __x);
extern __m128 _mm_moveldup_ps(__m128 __x);
extern __m128d _mm_addsub_pd(__m128d __x, __m128d __y);
extern __m128d _mm_hadd_pd(__m128d __x, __m128d __y);
extern __m128d _mm_hsub_pd(__m128d __x, __m128d __y);
extern __m128d _mm_loaddup_pd(double const* __p);
extern __m128d _mm_movedup_pd(__m128d __x);
extern __m128i _mm_lddqu_si128(__m128i const* __p);
extern void _mm_monitor(void const* __p, unsigned int __e, unsigned int __h);
extern void _mm_mwait(unsigned int __e, unsigned int __h);

#endif
