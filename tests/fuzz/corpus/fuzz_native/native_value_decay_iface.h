/* An array or a function taken as a value is a pointer: the right operand of
   a comma and the result of ?: alike, not the operand of sizeof itself. */
void handler(int);
extern char buffer[32];
_Static_assert(sizeof(("ab", "cde")) == 8, "comma result is a pointer");
_Static_assert(__builtin_types_compatible_p(__typeof__(("ab", "cde")), char *), "char *");
_Static_assert(sizeof((0, handler)) == 8, "function becomes its address");
_Static_assert(__builtin_types_compatible_p(__typeof__((0, handler)), void (*)(int)), "void (*)(int)");
_Static_assert(sizeof(1 ? buffer : buffer) == 8 && sizeof(buffer) == 32 && sizeof((buffer)) == 32, "");
/* Nor has a type without a size one. */
struct opaque;
int sized[sizeof(struct opaque)];
enum { ALIGN = _Alignof(struct opaque) };
_Static_assert(sizeof(void) == 1 && sizeof(handler) == 1, "as the compiler counts them");
