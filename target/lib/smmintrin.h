/* SSE4.1 and SSE4.2: blends, tests, widening conversions, rounding modes,
   string comparison modes and CRC32. */
#ifndef _KV_SMMINTRIN_H
#define _KV_SMMINTRIN_H

#include <tmmintrin.h>

/* Rounding of _mm_round_ps and the others. */
#define _MM_FROUND_TO_NEAREST_INT 0x00
#define _MM_FROUND_TO_NEG_INF 0x01
#define _MM_FROUND_TO_POS_INF 0x02
#define _MM_FROUND_TO_ZERO 0x03
#define _MM_FROUND_CUR_DIRECTION 0x04
#define _MM_FROUND_RAISE_EXC 0x00
#define _MM_FROUND_NO_EXC 0x08
#define _MM_FROUND_NINT (_MM_FROUND_TO_NEAREST_INT | _MM_FROUND_RAISE_EXC)
#define _MM_FROUND_FLOOR (_MM_FROUND_TO_NEG_INF | _MM_FROUND_RAISE_EXC)
#define _MM_FROUND_CEIL (_MM_FROUND_TO_POS_INF | _MM_FROUND_RAISE_EXC)
#define _MM_FROUND_TRUNC (_MM_FROUND_TO_ZERO | _MM_FROUND_RAISE_EXC)
#define _MM_FROUND_RINT (_MM_FROUND_CUR_DIRECTION | _MM_FROUND_RAISE_EXC)
#define _MM_FROUND_NEARBYINT (_MM_FROUND_CUR_DIRECTION | _MM_FROUND_NO_EXC)

/* Modes of the string comparisons (_mm_cmpistri and the others). */
#define _SIDD_UBYTE_OPS 0x00
#define _SIDD_UWORD_OPS 0x01
#define _SIDD_SBYTE_OPS 0x02
#define _SIDD_SWORD_OPS 0x03
#define _SIDD_CMP_EQUAL_ANY 0x00
#define _SIDD_CMP_RANGES 0x04
#define _SIDD_CMP_EQUAL_EACH 0x08
#define _SIDD_CMP_EQUAL_ORDERED 0x0c
#define _SIDD_POSITIVE_POLARITY 0x00
#define _SIDD_NEGATIVE_POLARITY 0x10
#define _SIDD_MASKED_POSITIVE_POLARITY 0x20
#define _SIDD_MASKED_NEGATIVE_POLARITY 0x30
#define _SIDD_LEAST_SIGNIFICANT 0x00
#define _SIDD_MOST_SIGNIFICANT 0x40
#define _SIDD_BIT_MASK 0x00
#define _SIDD_UNIT_MASK 0x40

#define _mm_test_all_zeros(M, V) _mm_testz_si128((M), (V))
#define _mm_test_all_ones(V) _mm_testc_si128((V), _mm_cmpeq_epi32((V), (V)))
#define _mm_test_mix_ones_zeros(M, V) _mm_testnzc_si128((M), (V))
#define _mm_ceil_pd(V) _mm_round_pd((V), _MM_FROUND_CEIL)
#define _mm_ceil_sd(D, V) _mm_round_sd((D), (V), _MM_FROUND_CEIL)
#define _mm_floor_pd(V) _mm_round_pd((V), _MM_FROUND_FLOOR)
#define _mm_floor_sd(D, V) _mm_round_sd((D), (V), _MM_FROUND_FLOOR)
#define _mm_ceil_ps(V) _mm_round_ps((V), _MM_FROUND_CEIL)
#define _mm_ceil_ss(D, V) _mm_round_ss((D), (V), _MM_FROUND_CEIL)
#define _mm_floor_ps(V) _mm_round_ps((V), _MM_FROUND_FLOOR)
#define _mm_floor_ss(D, V) _mm_round_ss((D), (V), _MM_FROUND_FLOOR)

extern int _mm_testz_si128(__m128i __m, __m128i __v);
extern int _mm_testc_si128(__m128i __m, __m128i __v);
extern int _mm_testnzc_si128(__m128i __m, __m128i __v);
extern __m128i _mm_blendv_epi8(__m128i __x, __m128i __y, __m128i __mask);
extern __m128 _mm_blendv_ps(__m128 __x, __m128 __y, __m128 __mask);
extern __m128d _mm_blendv_pd(__m128d __x, __m128d __y, __m128d __mask);
extern __m128i _mm_cmpeq_epi64(__m128i __x, __m128i __y);
extern __m128i _mm_min_epi8(__m128i __x, __m128i __y);
extern __m128i _mm_max_epi8(__m128i __x, __m128i __y);
extern __m128i _mm_min_epu16(__m128i __x, __m128i __y);
extern __m128i _mm_max_epu16(__m128i __x, __m128i __y);
extern __m128i _mm_min_epi32(__m128i __x, __m128i __y);
extern __m128i _mm_max_epi32(__m128i __x, __m128i __y);
extern __m128i _mm_min_epu32(__m128i __x, __m128i __y);
extern __m128i _mm_max_epu32(__m128i __x, __m128i __y);
extern __m128i _mm_mullo_epi32(__m128i __x, __m128i __y);
extern __m128i _mm_mul_epi32(__m128i __x, __m128i __y);
extern __m128i _mm_packus_epi32(__m128i __x, __m128i __y);
extern __m128i _mm_cmpgt_epi64(__m128i __x, __m128i __y);
extern __m128i _mm_minpos_epu16(__m128i __x);
extern __m128i _mm_cvtepi8_epi32(__m128i __x);
extern __m128i _mm_cvtepi16_epi32(__m128i __x);
extern __m128i _mm_cvtepi8_epi64(__m128i __x);
extern __m128i _mm_cvtepi32_epi64(__m128i __x);
extern __m128i _mm_cvtepi16_epi64(__m128i __x);
extern __m128i _mm_cvtepi8_epi16(__m128i __x);
extern __m128i _mm_cvtepu8_epi32(__m128i __x);
extern __m128i _mm_cvtepu16_epi32(__m128i __x);
extern __m128i _mm_cvtepu8_epi64(__m128i __x);
extern __m128i _mm_cvtepu32_epi64(__m128i __x);
extern __m128i _mm_cvtepu16_epi64(__m128i __x);
extern __m128i _mm_cvtepu8_epi16(__m128i __x);
extern __m128i _mm_stream_load_si128(__m128i* __x);
extern unsigned int _mm_crc32_u8(unsigned int __c, unsigned char __v);
extern unsigned int _mm_crc32_u16(unsigned int __c, unsigned short __v);
extern unsigned int _mm_crc32_u32(unsigned int __c, unsigned int __v);
extern unsigned long long _mm_crc32_u64(unsigned long long __c, unsigned long long __v);

#endif
