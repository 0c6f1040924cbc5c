/* Pragmas whose text a macro makes, as library headers write them: the
   packing reaches the structure, the others are passed over. */
#define STR(x) #x
#define DO_PRAGMA(x) _Pragma(STR(x))
#define IGNORE_WARN DO_PRAGMA(GCC diagnostic ignored "-Wfoo")
#define PACKED(n) DO_PRAGMA(pack(push, n))
DO_PRAGMA(GCC diagnostic push)
IGNORE_WARN int quiet;
PACKED(1) struct tight { char c; int i; }; DO_PRAGMA(pack(pop))
struct loose { char c; int i; };
_Static_assert(sizeof(struct tight) == 5 && sizeof(struct loose) == 8, "packing from the operator");
int before; DO_PRAGMA(korva no_such_keyword) int after;
_Pragma(STR(x) STR(y)) int x;
