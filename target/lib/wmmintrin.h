/* AES rounds (the carry-less multiplication and the key generation assist
   take an immediate operand and are not declared). */
#ifndef _KV_WMMINTRIN_H
#define _KV_WMMINTRIN_H

#include <emmintrin.h>

extern __m128i _mm_aesdec_si128(__m128i __x, __m128i __y);
extern __m128i _mm_aesdeclast_si128(__m128i __x, __m128i __y);
extern __m128i _mm_aesenc_si128(__m128i __x, __m128i __y);
extern __m128i _mm_aesenclast_si128(__m128i __x, __m128i __y);
extern __m128i _mm_aesimc_si128(__m128i __x);

#endif
