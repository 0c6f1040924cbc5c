/* AVX: the 256-bit vectors and their operations. Read through
   <immintrin.h>. The compiler aligns a vector to its size only when the
   instructions for that size are enabled (-mavx): to 16 bytes otherwise. */
#ifndef _KV_AVXINTRIN_H
#define _KV_AVXINTRIN_H

#include <smmintrin.h>

#ifdef __AVX__
#define _KV_ALIGN_256 32
#else
#define _KV_ALIGN_256 16
#endif
typedef struct __attribute__((__aligned__(_KV_ALIGN_256))) { float __v[8]; } __m256;
typedef struct __attribute__((__aligned__(_KV_ALIGN_256))) { double __v[4]; } __m256d;
typedef struct __attribute__((__aligned__(_KV_ALIGN_256))) { long long __v[4]; } __m256i;
typedef struct __attribute__((__packed__)) { float __v[8]; } __m256_u;
typedef struct __attribute__((__packed__)) { double __v[4]; } __m256d_u;
typedef struct __attribute__((__packed__)) { long long __v[4]; } __m256i_u;

/* Predicates of _mm256_cmp_ps and the others. */
#define _CMP_EQ_OQ 0x00
#define _CMP_LT_OS 0x01
#define _CMP_LE_OS 0x02
#define _CMP_UNORD_Q 0x03
#define _CMP_NEQ_UQ 0x04
#define _CMP_NLT_US 0x05
#define _CMP_NLE_US 0x06
#define _CMP_ORD_Q 0x07
#define _CMP_EQ_UQ 0x08
#define _CMP_NGE_US 0x09
#define _CMP_NGT_US 0x0a
#define _CMP_FALSE_OQ 0x0b
#define _CMP_NEQ_OQ 0x0c
#define _CMP_GE_OS 0x0d
#define _CMP_GT_OS 0x0e
#define _CMP_TRUE_UQ 0x0f
#define _CMP_EQ_OS 0x10
#define _CMP_LT_OQ 0x11
#define _CMP_LE_OQ 0x12
#define _CMP_UNORD_S 0x13
#define _CMP_NEQ_US 0x14
#define _CMP_NLT_UQ 0x15
#define _CMP_NLE_UQ 0x16
#define _CMP_ORD_S 0x17
#define _CMP_EQ_US 0x18
#define _CMP_NGE_UQ 0x19
#define _CMP_NGT_UQ 0x1a
#define _CMP_FALSE_OS 0x1b
#define _CMP_NEQ_OS 0x1c
#define _CMP_GE_OQ 0x1d
#define _CMP_GT_OQ 0x1e
#define _CMP_TRUE_US 0x1f

extern __m256d _mm256_add_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_sub_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_mul_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_div_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_min_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_max_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_and_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_andnot_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_or_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_xor_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_addsub_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_hadd_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_hsub_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_unpackhi_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_unpacklo_pd(__m256d __a, __m256d __b);
extern __m256d _mm256_sqrt_pd(__m256d __a);
extern __m256d _mm256_blendv_pd(__m256d __x, __m256d __y, __m256d __m);
extern __m256d _mm256_setzero_pd(void);
extern __m256d _mm256_undefined_pd(void);
extern __m256d _mm256_load_pd(double const* __p);
extern __m256d _mm256_loadu_pd(double const* __p);
extern void _mm256_store_pd(double* __p, __m256d __a);
extern void _mm256_storeu_pd(double* __p, __m256d __a);
extern void _mm256_stream_pd(double* __p, __m256d __a);
extern int _mm256_movemask_pd(__m256d __a);
extern __m256d _mm256_set1_pd(double __a);
extern __m256 _mm256_add_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_sub_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_mul_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_div_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_min_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_max_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_and_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_andnot_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_or_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_xor_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_addsub_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_hadd_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_hsub_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_unpackhi_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_unpacklo_ps(__m256 __a, __m256 __b);
extern __m256 _mm256_sqrt_ps(__m256 __a);
extern __m256 _mm256_blendv_ps(__m256 __x, __m256 __y, __m256 __m);
extern __m256 _mm256_setzero_ps(void);
extern __m256 _mm256_undefined_ps(void);
extern __m256 _mm256_load_ps(float const* __p);
extern __m256 _mm256_loadu_ps(float const* __p);
extern void _mm256_store_ps(float* __p, __m256 __a);
extern void _mm256_storeu_ps(float* __p, __m256 __a);
extern void _mm256_stream_ps(float* __p, __m256 __a);
extern int _mm256_movemask_ps(__m256 __a);
extern __m256 _mm256_set1_ps(float __a);
extern __m256d _mm256_set_pd(double __a, double __b, double __c, double __d);
extern __m256d _mm256_setr_pd(double __a, double __b, double __c, double __d);
extern __m256 _mm256_set_ps(float __a, float __b, float __c, float __d, float __e, float __f, float __g, float __h);
extern __m256 _mm256_setr_ps(float __a, float __b, float __c, float __d, float __e, float __f, float __g, float __h);
extern __m256 _mm256_rcp_ps(__m256 __a);
extern __m256 _mm256_rsqrt_ps(__m256 __a);
extern __m256 _mm256_movehdup_ps(__m256 __x);
extern __m256 _mm256_moveldup_ps(__m256 __x);
extern __m256d _mm256_movedup_pd(__m256d __x);
extern __m256d _mm256_broadcast_sd(double const* __x);
extern __m256 _mm256_broadcast_ss(float const* __x);
extern __m128 _mm_broadcast_ss(float const* __x);
extern __m256d _mm256_broadcast_pd(__m128d const* __x);
extern __m256 _mm256_broadcast_ps(__m128 const* __x);
extern __m256d _mm256_cvtepi32_pd(__m128i __a);
extern __m256 _mm256_cvtepi32_ps(__m256i __a);
extern __m128 _mm256_cvtpd_ps(__m256d __a);
extern __m256i _mm256_cvtps_epi32(__m256 __a);
extern __m256d _mm256_cvtps_pd(__m128 __a);
extern __m128i _mm256_cvttpd_epi32(__m256d __a);
extern __m128i _mm256_cvtpd_epi32(__m256d __a);
extern __m256i _mm256_cvttps_epi32(__m256 __a);
extern double _mm256_cvtsd_f64(__m256d __a);
extern float _mm256_cvtss_f32(__m256 __a);
extern int _mm256_cvtsi256_si32(__m256i __a);
extern void _mm256_zeroall(void);
extern void _mm256_zeroupper(void);
extern __m256i _mm256_load_si256(__m256i const* __p);
extern __m256i _mm256_loadu_si256(__m256i_u const* __p);
extern void _mm256_store_si256(__m256i* __p, __m256i __a);
extern void _mm256_storeu_si256(__m256i_u* __p, __m256i __a);
extern void _mm256_stream_si256(__m256i* __a, __m256i __b);
extern __m256i _mm256_lddqu_si256(__m256i const* __p);
extern __m256i _mm256_setzero_si256(void);
extern __m256i _mm256_undefined_si256(void);
extern __m256i _mm256_set1_epi32(int __a);
extern __m256i _mm256_set1_epi16(short __a);
extern __m256i _mm256_set1_epi8(char __a);
extern __m256i _mm256_set1_epi64x(long long __a);
extern __m256i _mm256_set_epi32(int __a, int __b, int __c, int __d, int __e, int __f, int __g, int __h);
extern __m256i _mm256_setr_epi32(int __a, int __b, int __c, int __d, int __e, int __f, int __g, int __h);
extern __m256i _mm256_set_epi64x(long long __a, long long __b, long long __c, long long __d);
extern __m256i _mm256_setr_epi64x(long long __a, long long __b, long long __c, long long __d);
extern int _mm256_testz_si256(__m256i __m, __m256i __v);
extern int _mm256_testc_si256(__m256i __m, __m256i __v);
extern int _mm256_testnzc_si256(__m256i __m, __m256i __v);
extern __m256 _mm256_castpd_ps(__m256d __a);
extern __m256i _mm256_castpd_si256(__m256d __a);
extern __m256d _mm256_castps_pd(__m256 __a);
extern __m256i _mm256_castps_si256(__m256 __a);
extern __m256 _mm256_castsi256_ps(__m256i __a);
extern __m256d _mm256_castsi256_pd(__m256i __a);
extern __m128d _mm256_castpd256_pd128(__m256d __a);
extern __m128 _mm256_castps256_ps128(__m256 __a);
extern __m128i _mm256_castsi256_si128(__m256i __a);
extern __m256d _mm256_castpd128_pd256(__m128d __a);
extern __m256 _mm256_castps128_ps256(__m128 __a);
extern __m256i _mm256_castsi128_si256(__m128i __a);

#endif
