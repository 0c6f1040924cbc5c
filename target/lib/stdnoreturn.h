/* Functions that do not return. */
#ifndef _KV_STDNORETURN_H
#define _KV_STDNORETURN_H
#define noreturn _Noreturn
#endif
