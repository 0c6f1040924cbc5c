/* Common definitions. A header that needs only some of them defines
   __need_size_t, __need_ptrdiff_t, __need_wchar_t, __need_wint_t, __need_NULL
   or __need_max_align_t before including this file and gets only those. */
#if !defined __need_size_t && !defined __need_ptrdiff_t && !defined __need_wchar_t && \
    !defined __need_wint_t && !defined __need_NULL && !defined __need_max_align_t
#define _KV_STDDEF_ALL
#define __need_size_t
#define __need_ptrdiff_t
#define __need_wchar_t
#define __need_NULL
#define __need_max_align_t
#endif

#if defined __need_size_t && !defined _KV_SIZE_T
#define _KV_SIZE_T
typedef __SIZE_TYPE__ size_t;
#endif
#undef __need_size_t

#if defined __need_ptrdiff_t && !defined _KV_PTRDIFF_T
#define _KV_PTRDIFF_T
typedef __PTRDIFF_TYPE__ ptrdiff_t;
#endif
#undef __need_ptrdiff_t

#if defined __need_wchar_t && !defined _KV_WCHAR_T
#define _KV_WCHAR_T
typedef __WCHAR_TYPE__ wchar_t;
#endif
#undef __need_wchar_t

#if defined __need_wint_t && !defined _KV_WINT_T
#define _KV_WINT_T
typedef __WINT_TYPE__ wint_t;
#endif
#undef __need_wint_t

#ifdef __need_NULL
#undef NULL
#define NULL ((void *)0)
#endif
#undef __need_NULL

#if defined __need_max_align_t && !defined _KV_MAX_ALIGN_T
#define _KV_MAX_ALIGN_T
typedef struct {
    long long __max_align_ll __attribute__((__aligned__(__alignof__(long long))));
    long double __max_align_ld __attribute__((__aligned__(__alignof__(long double))));
} max_align_t;
#endif
#undef __need_max_align_t

#ifdef _KV_STDDEF_ALL
#undef _KV_STDDEF_ALL
#ifndef offsetof
#define offsetof(TYPE, MEMBER) __builtin_offsetof(TYPE, MEMBER)
#endif
#endif
