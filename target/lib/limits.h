/* Sizes of the integer types (LP64). The C library's own <limits.h>, when
   there is one further on the search path, adds the POSIX limits; it skips
   its own look for the compiler's file when _GCC_LIMITS_H_ is defined. */
#ifndef _KV_LIMITS_H
#define _KV_LIMITS_H
#define _GCC_LIMITS_H_
#define CHAR_BIT 8
#define MB_LEN_MAX 16
#define SCHAR_MIN (-128)
#define SCHAR_MAX 127
#define UCHAR_MAX 255
#define CHAR_MIN SCHAR_MIN
#define CHAR_MAX SCHAR_MAX
#define SHRT_MIN (-32768)
#define SHRT_MAX 32767
#define USHRT_MAX 65535
#define INT_MIN (-INT_MAX - 1)
#define INT_MAX 2147483647
#define UINT_MAX 4294967295U
#define LONG_MIN (-LONG_MAX - 1L)
#define LONG_MAX 9223372036854775807L
#define ULONG_MAX 18446744073709551615UL
#define LLONG_MIN (-LLONG_MAX - 1LL)
#define LLONG_MAX 9223372036854775807LL
#define ULLONG_MAX 18446744073709551615ULL
#endif
#if defined __has_include_next
#if __has_include_next(<limits.h>)
#include_next <limits.h>
#endif
#endif
