/* Variable arguments. With __need___va_list only __gnuc_va_list is defined. */
#ifndef _KV_GNUC_VA_LIST
#define _KV_GNUC_VA_LIST
typedef __builtin_va_list __gnuc_va_list;
#endif
#ifdef __need___va_list
#undef __need___va_list
#else
#ifndef _KV_STDARG_H
#define _KV_STDARG_H
typedef __gnuc_va_list va_list;
#define va_start(v, l) __builtin_va_start(v, l)
#define va_end(v) __builtin_va_end(v)
#define va_arg(v, t) __builtin_va_arg(v, t)
#define va_copy(d, s) __builtin_va_copy(d, s)
#define __va_copy(d, s) __builtin_va_copy(d, s)
#endif
#endif
