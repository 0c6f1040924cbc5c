/* SSE: the 128-bit vector of four floats, its operations and the control
   register macros. */
#ifndef _KV_XMMINTRIN_H
#define _KV_XMMINTRIN_H

#include <mmintrin.h>
#include <mm_malloc.h>

typedef struct __attribute__((__aligned__(16))) { float __v[4]; } __m128;
typedef struct __attribute__((__packed__)) { float __v[4]; } __m128_u;

/* Cache hints of _mm_prefetch. */
enum _mm_hint {
    _MM_HINT_ET0 = 7,
    _MM_HINT_ET1 = 6,
    _MM_HINT_T0 = 3,
    _MM_HINT_T1 = 2,
    _MM_HINT_T2 = 1,
    _MM_HINT_NTA = 0
};
#define _mm_prefetch(P, I) __builtin_prefetch((P), ((I) & 0x4) >> 2, (I) & 0x3)

/* The selector of _mm_shuffle_ps and _mm_shuffle_epi32: element fp0 of the
   first operand goes to place 0, and so on. */
#define _MM_SHUFFLE(fp3, fp2, fp1, fp0) (((fp3) << 6) | ((fp2) << 4) | ((fp1) << 2) | (fp0))

/* Fields of the MXCSR control and status register. */
#define _MM_EXCEPT_MASK 0x003f
#define _MM_EXCEPT_INVALID 0x0001
#define _MM_EXCEPT_DENORM 0x0002
#define _MM_EXCEPT_DIV_ZERO 0x0004
#define _MM_EXCEPT_OVERFLOW 0x0008
#define _MM_EXCEPT_UNDERFLOW 0x0010
#define _MM_EXCEPT_INEXACT 0x0020
#define _MM_MASK_MASK 0x1f80
#define _MM_MASK_INVALID 0x0080
#define _MM_MASK_DENORM 0x0100
#define _MM_MASK_DIV_ZERO 0x0200
#define _MM_MASK_OVERFLOW 0x0400
#define _MM_MASK_UNDERFLOW 0x0800
#define _MM_MASK_INEXACT 0x1000
#define _MM_ROUND_MASK 0x6000
#define _MM_ROUND_NEAREST 0x0000
#define _MM_ROUND_DOWN 0x2000
#define _MM_ROUND_UP 0x4000
#define _MM_ROUND_TOWARD_ZERO 0x6000
#define _MM_FLUSH_ZERO_MASK 0x8000
#define _MM_FLUSH_ZERO_ON 0x8000
#define _MM_FLUSH_ZERO_OFF 0x0000

extern unsigned int _mm_getcsr(void);
extern void _mm_setcsr(unsigned int __i);
#define _MM_GET_EXCEPTION_STATE() (_mm_getcsr() & _MM_EXCEPT_MASK)
#define _MM_GET_EXCEPTION_MASK() (_mm_getcsr() & _MM_MASK_MASK)
#define _MM_GET_ROUNDING_MODE() (_mm_getcsr() & _MM_ROUND_MASK)
#define _MM_GET_FLUSH_ZERO_MODE() (_mm_getcsr() & _MM_FLUSH_ZERO_MASK)
#define _MM_SET_EXCEPTION_STATE(state) _mm_setcsr((_mm_getcsr() & ~_MM_EXCEPT_MASK) | (state))
#define _MM_SET_EXCEPTION_MASK(mask) _mm_setcsr((_mm_getcsr() & ~_MM_MASK_MASK) | (mask))
#define _MM_SET_ROUNDING_MODE(mode) _mm_setcsr((_mm_getcsr() & ~_MM_ROUND_MASK) | (mode))
#define _MM_SET_FLUSH_ZERO_MODE(mode) _mm_setcsr((_mm_getcsr() & ~_MM_FLUSH_ZERO_MASK) | (mode))

extern __m128 _mm_undefined_ps(void);
extern __m128 _mm_setzero_ps(void);
extern __m128 _mm_add_ss(__m128 __a, __m128 __b);
extern __m128 _mm_add_ps(__m128 __a, __m128 __b);
extern __m128 _mm_sub_ss(__m128 __a, __m128 __b);
extern __m128 _mm_sub_ps(__m128 __a, __m128 __b);
extern __m128 _mm_mul_ss(__m128 __a, __m128 __b);
extern __m128 _mm_mul_ps(__m128 __a, __m128 __b);
extern __m128 _mm_div_ss(__m128 __a, __m128 __b);
extern __m128 _mm_div_ps(__m128 __a, __m128 __b);
extern __m128 _mm_min_ss(__m128 __a, __m128 __b);
extern __m128 _mm_min_ps(__m128 __a, __m128 __b);
extern __m128 _mm_max_ss(__m128 __a, __m128 __b);
extern __m128 _mm_max_ps(__m128 __a, __m128 __b);
extern __m128 _mm_sqrt_ss(__m128 __a);
extern __m128 _mm_sqrt_ps(__m128 __a);
extern __m128 _mm_rcp_ss(__m128 __a);
extern __m128 _mm_rcp_ps(__m128 __a);
extern __m128 _mm_rsqrt_ss(__m128 __a);
extern __m128 _mm_rsqrt_ps(__m128 __a);
extern __m128 _mm_and_ps(__m128 __a, __m128 __b);
extern __m128 _mm_andnot_ps(__m128 __a, __m128 __b);
extern __m128 _mm_or_ps(__m128 __a, __m128 __b);
extern __m128 _mm_xor_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmpeq_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmpeq_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmplt_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmplt_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmple_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmple_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmpgt_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmpgt_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmpge_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmpge_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmpneq_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmpneq_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmpnlt_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmpnlt_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmpnle_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmpnle_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmpngt_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmpngt_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmpnge_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmpnge_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmpord_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmpord_ps(__m128 __a, __m128 __b);
extern __m128 _mm_cmpunord_ss(__m128 __a, __m128 __b);
extern __m128 _mm_cmpunord_ps(__m128 __a, __m128 __b);
extern int _mm_comieq_ss(__m128 __a, __m128 __b);
extern int _mm_ucomieq_ss(__m128 __a, __m128 __b);
extern int _mm_comilt_ss(__m128 __a, __m128 __b);
extern int _mm_ucomilt_ss(__m128 __a, __m128 __b);
extern int _mm_comile_ss(__m128 __a, __m128 __b);
extern int _mm_ucomile_ss(__m128 __a, __m128 __b);
extern int _mm_comigt_ss(__m128 __a, __m128 __b);
extern int _mm_ucomigt_ss(__m128 __a, __m128 __b);
extern int _mm_comige_ss(__m128 __a, __m128 __b);
extern int _mm_ucomige_ss(__m128 __a, __m128 __b);
extern int _mm_comineq_ss(__m128 __a, __m128 __b);
extern int _mm_ucomineq_ss(__m128 __a, __m128 __b);
extern int _mm_cvtss_si32(__m128 __a);
extern int _mm_cvt_ss2si(__m128 __a);
extern long long _mm_cvtss_si64(__m128 __a);
extern long long _mm_cvtss_si64x(__m128 __a);
extern int _mm_cvttss_si32(__m128 __a);
extern int _mm_cvtt_ss2si(__m128 __a);
extern long long _mm_cvttss_si64(__m128 __a);
extern long long _mm_cvttss_si64x(__m128 __a);
extern __m128 _mm_cvtsi32_ss(__m128 __a, int __b);
extern __m128 _mm_cvt_si2ss(__m128 __a, int __b);
extern __m128 _mm_cvtsi64_ss(__m128 __a, long long __b);
extern __m128 _mm_cvtsi64x_ss(__m128 __a, long long __b);
extern float _mm_cvtss_f32(__m128 __a);
extern __m64 _mm_cvtps_pi32(__m128 __a);
extern __m64 _mm_cvttps_pi32(__m128 __a);
extern __m128 _mm_cvtpi32_ps(__m128 __a, __m64 __b);
extern __m128 _mm_unpackhi_ps(__m128 __a, __m128 __b);
extern __m128 _mm_unpacklo_ps(__m128 __a, __m128 __b);
extern __m128 _mm_loadh_pi(__m128 __a, __m64 const* __p);
extern void _mm_storeh_pi(__m64* __p, __m128 __a);
extern __m128 _mm_movehl_ps(__m128 __a, __m128 __b);
extern __m128 _mm_movelh_ps(__m128 __a, __m128 __b);
extern __m128 _mm_loadl_pi(__m128 __a, __m64 const* __p);
extern void _mm_storel_pi(__m64* __p, __m128 __a);
extern int _mm_movemask_ps(__m128 __a);
extern __m128 _mm_set_ss(float __f);
extern __m128 _mm_set1_ps(float __f);
extern __m128 _mm_set_ps1(float __f);
extern __m128 _mm_load_ss(float const* __p);
extern __m128 _mm_load1_ps(float const* __p);
extern __m128 _mm_load_ps1(float const* __p);
extern __m128 _mm_load_ps(float const* __p);
extern __m128 _mm_loadu_ps(float const* __p);
extern __m128 _mm_loadr_ps(float const* __p);
extern __m128 _mm_set_ps(float __z, float __y, float __x, float __w);
extern __m128 _mm_setr_ps(float __z, float __y, float __x, float __w);
extern void _mm_store_ss(float* __p, __m128 __a);
extern void _mm_store_ps(float* __p, __m128 __a);
extern void _mm_storeu_ps(float* __p, __m128 __a);
extern void _mm_store1_ps(float* __p, __m128 __a);
extern void _mm_store_ps1(float* __p, __m128 __a);
extern void _mm_storer_ps(float* __p, __m128 __a);
extern __m128 _mm_move_ss(__m128 __a, __m128 __b);
extern __m64 _mm_max_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_max_pu8(__m64 __a, __m64 __b);
extern __m64 _mm_min_pi16(__m64 __a, __m64 __b);
extern __m64 _mm_min_pu8(__m64 __a, __m64 __b);
extern int _mm_movemask_pi8(__m64 __a);
extern __m64 _mm_mulhi_pu16(__m64 __a, __m64 __b);
extern void _mm_maskmove_si64(__m64 __a, __m64 __n, char* __p);
extern __m64 _mm_avg_pu8(__m64 __a, __m64 __b);
extern __m64 _mm_avg_pu16(__m64 __a, __m64 __b);
extern __m64 _mm_sad_pu8(__m64 __a, __m64 __b);
extern void _mm_stream_pi(__m64* __p, __m64 __a);
extern void _mm_stream_ps(float* __p, __m128 __a);
extern void _mm_sfence(void);
extern void _mm_pause(void);

#endif
