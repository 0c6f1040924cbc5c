/* MMX: the 64-bit vector type and its operations.
   The vector types of these headers are written as structures of the same
   size and alignment as the compiler's vectors (which the interface analysis
   does not model); the unaligned "_u" forms have alignment 1. */
#ifndef _KV_MMINTRIN_H
#define _KV_MMINTRIN_H

typedef struct __attribute__((__aligned__(8))) { int __v[2]; } __m64;
typedef struct __attribute__((__packed__)) { int __v[2]; } __m64_u;

extern void _mm_empty(void);
extern __m64 _mm_cvtsi32_si64(int __i);
extern int _mm_cvtsi64_si32(__m64 __a);
extern __m64 _mm_cvtsi64_m64(long long __i);
extern long long _mm_cvtm64_si64(__m64 __a);
extern __m64 _mm_packs_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_packs_pi32(__m64 __a, __m64 __b);
extern __m64 _mm_packs_pu16(__m64 __a, __m64 __b);
extern __m64 _mm_unpackhi_pi8(__m64 __a, __m64 __b);
extern __m64 _mm_unpackhi_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_unpackhi_pi32(__m64 __a, __m64 __b);
extern __m64 _mm_unpacklo_pi8(__m64 __a, __m64 __b);
extern __m64 _mm_unpacklo_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_unpacklo_pi32(__m64 __a, __m64 __b);
extern __m64 _mm_add_pi8(__m64 __a, __m64 __b);
extern __m64 _mm_add_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_add_pi32(__m64 __a, __m64 __b);
extern __m64 _mm_adds_pi8(__m64 __a, __m64 __b);
extern __m64 _mm_adds_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_adds_pu8(__m64 __a, __m64 __b);
extern __m64 _mm_adds_pu16(__m64 __a, __m64 __b);
extern __m64 _mm_sub_pi8(__m64 __a, __m64 __b);
extern __m64 _mm_sub_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_sub_pi32(__m64 __a, __m64 __b);
extern __m64 _mm_subs_pi8(__m64 __a, __m64 __b);
extern __m64 _mm_subs_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_subs_pu8(__m64 __a, __m64 __b);
extern __m64 _mm_subs_pu16(__m64 __a, __m64 __b);
extern __m64 _mm_madd_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_mulhi_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_mullo_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_sll_pi16(__m64 __a, __m64 __count);
extern __m64 _mm_sll_pi32(__m64 __a, __m64 __count);
extern __m64 _mm_sll_si64(__m64 __a, __m64 __count);
extern __m64 _mm_slli_pi16(__m64 __a, int __count);
extern __m64 _mm_slli_pi32(__m64 __a, int __count);
extern __m64 _mm_slli_si64(__m64 __a, int __count);
extern __m64 _mm_sra_pi16(__m64 __a, __m64 __count);
extern __m64 _mm_sra_pi32(__m64 __a, __m64 __count);
extern __m64 _mm_srai_pi16(__m64 __a, int __count);
extern __m64 _mm_srai_pi32(__m64 __a, int __count);
extern __m64 _mm_srl_pi16(__m64 __a, __m64 __count);
extern __m64 _mm_srl_pi32(__m64 __a, __m64 __count);
extern __m64 _mm_srl_si64(__m64 __a, __m64 __count);
extern __m64 _mm_srli_pi16(__m64 __a, int __count);
extern __m64 _mm_srli_pi32(__m64 __a, int __count);
extern __m64 _mm_srli_si64(__m64 __a, int __count);
extern __m64 _mm_and_si64(__m64 __a, __m64 __b);
extern __m64 _mm_andnot_si64(__m64 __a, __m64 __b);
extern __m64 _mm_or_si64(__m64 __a, __m64 __b);
extern __m64 _mm_xor_si64(__m64 __a, __m64 __b);
extern __m64 _mm_cmpeq_pi8(__m64 __a, __m64 __b);
extern __m64 _mm_cmpeq_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_cmpeq_pi32(__m64 __a, __m64 __b);
extern __m64 _mm_cmpgt_pi8(__m64 __a, __m64 __b);
extern __m64 _mm_cmpgt_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_cmpgt_pi32(__m64 __a, __m64 __b);
extern __m64 _mm_setzero_si64(void);
extern __m64 _mm_set_pi32(int __i1, int __i0);
extern __m64 _mm_set_pi16(short __w3, short __w2, short __w1, short __w0);
extern __m64 _mm_set_pi8(char __b7, char __b6, char __b5, char __b4, char __b3, char __b2, char __b1, char __b0);
extern __m64 _mm_setr_pi32(int __i0, int __i1);
extern __m64 _mm_setr_pi16(short __w0, short __w1, short __w2, short __w3);
extern __m64 _mm_setr_pi8(char __b0, char __b1, char __b2, char __b3, char __b4, char __b5, char __b6, char __b7);
extern __m64 _mm_set1_pi32(int __i);
extern __m64 _mm_set1_pi16(short __w);
extern __m64 _mm_set1_pi8(char __b);

#endif
