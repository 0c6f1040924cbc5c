/* All the x86 extensions: <immintrin.h>. */
#ifndef _KV_X86INTRIN_H
#define _KV_X86INTRIN_H
#include <immintrin.h>
#endif
