/* The x86 vector extensions: SSE to SSE4.2, AES, AVX, AVX2 and the
   AVX-512 types. The declarations are there whatever the -m options; the
   __SSE4_2__, __AVX__... macros of the target say which the program may use. */
#ifndef _KV_IMMINTRIN_H
#define _KV_IMMINTRIN_H

#include <mmintrin.h>
#include <xmmintrin.h>
#include <emmintrin.h>
#include <pmmintrin.h>
#include <tmmintrin.h>
#include <smmintrin.h>
#include <wmmintrin.h>
#include <avxintrin.h>
#include <avx2intrin.h>
#include <avx512fintrin.h>

/* Bit scans, byte swaps and the time stamp counter, with their short names. */
extern int __bsfd(int __x);
extern int __bsrd(int __x);
extern int __bswapd(int __x);
extern int __bsfq(long long __x);
extern int __bsrq(long long __x);
extern long long __bswapq(long long __x);
extern unsigned long long __rdtsc(void);
#define _bit_scan_forward(a) __bsfd(a)
#define _bit_scan_reverse(a) __bsrd(a)
#define _bswap(a) __bswapd(a)
#define _bswap64(a) __bswapq(a)
#define _rdtsc() __rdtsc()

#endif
