/* AVX-512: the 512-bit vectors and the mask types. Read through
   <immintrin.h>. As for the 256-bit vectors, the alignment follows the
   widest vectors enabled. */
#ifndef _KV_AVX512FINTRIN_H
#define _KV_AVX512FINTRIN_H

#include <avx2intrin.h>

#if defined __AVX512F__
#define _KV_ALIGN_512 64
#elif defined __AVX__
#define _KV_ALIGN_512 32
#else
#define _KV_ALIGN_512 16
#endif
typedef struct __attribute__((__aligned__(_KV_ALIGN_512))) { float __v[16]; } __m512;
typedef struct __attribute__((__aligned__(_KV_ALIGN_512))) { double __v[8]; } __m512d;
typedef struct __attribute__((__aligned__(_KV_ALIGN_512))) { long long __v[8]; } __m512i;
typedef struct __attribute__((__packed__)) { float __v[16]; } __m512_u;
typedef struct __attribute__((__packed__)) { double __v[8]; } __m512d_u;
typedef struct __attribute__((__packed__)) { long long __v[8]; } __m512i_u;
typedef unsigned char __mmask8;
typedef unsigned short __mmask16;
typedef unsigned int __mmask32;
typedef unsigned long long __mmask64;

extern __m512 _mm512_setzero_ps(void);
extern __m512d _mm512_setzero_pd(void);
extern __m512i _mm512_setzero_si512(void);
extern __m512 _mm512_set1_ps(float __a);
extern __m512d _mm512_set1_pd(double __a);
extern __m512i _mm512_set1_epi32(int __a);
extern __m512i _mm512_set1_epi64(long long __a);
extern __m512 _mm512_add_ps(__m512 __a, __m512 __b);
extern __m512d _mm512_add_pd(__m512d __a, __m512d __b);
extern __m512 _mm512_mul_ps(__m512 __a, __m512 __b);
extern __m512d _mm512_mul_pd(__m512d __a, __m512d __b);
extern __m512i _mm512_add_epi32(__m512i __a, __m512i __b);
extern __m512i _mm512_add_epi64(__m512i __a, __m512i __b);
extern __m512i _mm512_and_si512(__m512i __a, __m512i __b);
extern __m512i _mm512_or_si512(__m512i __a, __m512i __b);
extern __m512i _mm512_xor_si512(__m512i __a, __m512i __b);
extern __m512 _mm512_loadu_ps(void const* __p);
extern __m512d _mm512_loadu_pd(void const* __p);
extern __m512i _mm512_loadu_si512(void const* __p);
extern void _mm512_storeu_ps(void* __p, __m512 __a);
extern void _mm512_storeu_pd(void* __p, __m512d __a);
extern void _mm512_storeu_si512(void* __p, __m512i __a);

#endif
