// An interface header of the kind embedded products ship: packed and aligned
// layouts, bit-fields, function pointers, macro-generated declarations and
// enumerators beyond int. The differential test reads it as the C compiler does.
#ifndef A1_H
#define A1_H
#ifdef __cplusplus
extern "C" {
#endif
#pragma pack(push, 1)
typedef struct __attribute__((packed)) pk1 {
    unsigned char tag;
    unsigned int value;
    unsigned short len;
} pk1_t;
#pragma pack(pop)
struct pk2 {
    char c;
    int i;
} __attribute__((packed));
struct __attribute__((aligned(16))) al1 { int x; };
struct al2 { char c; int y __attribute__((aligned(8))); };
typedef int aligned_int __attribute__((aligned(8)));
struct al3 { char c; aligned_int v; };
struct pk3 { char c; int i __attribute__((packed)); short s; };
struct pk4 { char a; struct { char b; int c; } __attribute__((packed)) inner; int d; };
typedef struct { char a; long b; } __attribute__((packed, aligned(4))) pk5_t;
__attribute__((packed)) struct pk6 { char a; int b; };
struct pk7 { char a; int b; } __attribute__((aligned(32)));
enum color { RED, GREEN = 5, BLUE, NEG = -3, BIG = 0x7fffffff, SH = 1 << 4, CH = 'A', SZ = sizeof(struct pk2), CAST = (unsigned char)300, PREV = BLUE + GREEN };
enum big { HUGE1 = 0x100000000LL, HUGE2 };
enum ubig { UB = 0xffffffffu };
enum flags { F_A = 1u << 31 };
struct bits {
    unsigned int a : 3;
    signed int b : 5;
    int : 0;
    unsigned char c : 2;
    _Bool d : 1;
    enum small_e { SE0, SE1 } e : 4;
    unsigned long long f : 40;
    short g : 7;
    unsigned : 3;
    long h : 20;
};
struct bits2 { char a; int b : 4; char c; };
struct bits3 { unsigned char a : 4; unsigned char : 0; unsigned char b : 4; };
struct bits4 { unsigned short x : 9; unsigned short y : 9; };
struct bits5 { char c; long long x : 5; } __attribute__((packed));
struct flex { int n; unsigned char data[]; };
struct flex2 { short n; long data[]; };
union u1 { int i; float f; unsigned char bytes[4]; struct { unsigned short lo, hi; } w; };
struct nest {
    int kind;
    union {
        int i;
        double d;
        struct { char a, b; };
    };
    struct { int x; int y; } pos;
    struct { short s1; };
};
#ifdef __cplusplus
}
#endif
#endif
#include <stddef.h>
#include <stdint.h>
typedef void (*handler_t)(int, void *);
typedef int (*cmp_t)(const void *, const void *);
typedef int fn_t(int, char);
fn_t my_fn;
struct ops {
    int (*open)(const char *path, int flags);
    void (*close)(int);
    handler_t handlers[8];
    int (*table[4])(void);
    void (*(*getter)(int))(void);
};
void (*signal_like(int sig, void (*func)(int)))(int);
int (*get_cmp(void))(const void *, const void *);
int (*parr)[10];
int (*ret_arr(void))[5];
typedef char (*pa_t)[16];
const volatile int cvi;
volatile const unsigned long *const cvp;
int const * volatile * const restrict_like;
extern const char *const names[];
extern int matrix[3][4];
#define BUF_SIZE 64
#define HDR_LEN (sizeof(struct hdr))
struct hdr { uint8_t type; uint16_t len; uint32_t seq; };
unsigned char buffer[BUF_SIZE];
unsigned char hdrbuf[HDR_LEN * 2];
char sbuf[sizeof(int) * 3 + 1];
int arr_from_expr[sizeof buffer / sizeof buffer[0]];
_Static_assert(sizeof(struct hdr) == 8, "hdr size");
_Static_assert(BUF_SIZE == 64, "buf");
long double ld;
long double ldarr[3];
int knr();
static inline int add(int a, int b) { return a + b; }
static inline void nop(void) { do { } while (0); { } }
static __inline__ int sq(int x) { struct { int a; } s = { x }; return s.a * s.a; }
const char *s1 = "abc\n\t\x41\101";
const int *w1 = (const int *)L"wide";
const char *u8s = u8"utf8";
char c1 = '\'', c2 = '\\', c3 = '\x7f', c4 = '\0';
unsigned long h1 = 0xFFUL, o1 = 0777, b1 = 100ull;
long long ll1 = -9223372036854775807LL - 1;
float ff = 1.5f;
double dd = 1e10, dd2 = .5, dd3 = 0x1p3;
size_t sz;
ptrdiff_t pd;
int32_t i32; uint64_t u64; intptr_t ip;
#define ERRORS(X) \
    X(OK, 0, "ok") \
    X(FAIL, 1, "fail") \
    X(TIMEOUT, 2, "timeout")
#define AS_ENUM(name, val, text) ERR_##name = val,
enum err_code { ERRORS(AS_ENUM) ERR_COUNT };
#define AS_PROTO(name, val, text) int handle_##name(int code);
ERRORS(AS_PROTO)
#define DECL_GETTER(type, field) type get_##field(void); void set_##field(type v);
DECL_GETTER(int, speed)
DECL_GETTER(unsigned char, mode)
#define LOG(fmt, ...) log_printf(__FILE__, __LINE__, fmt, ##__VA_ARGS__)
#define LOG2(fmt, args...) log_printf(__FILE__, __LINE__, fmt, ## args)
int log_printf(const char *file, int line, const char *fmt, ...);
#define SAFE_CALL(x) do { if (x) { x; } } while (0)
#define STR(x) #x
#define XSTR(x) STR(x)
#define CAT(a, b) a##b
#define VERSION_STR XSTR(CAT(1, 2))
extern const char version[sizeof(VERSION_STR)];
#define COUNT_OF(a) (sizeof(a) / sizeof((a)[0]))
extern int table[10];
extern int table_copy[COUNT_OF(table)];
typedef int ai8 __attribute__((aligned(8)));
typedef int ai2 __attribute__((aligned(2)));
struct L1 { char c; int i __attribute__((packed)); short s; };
struct L2 { char c; int i __attribute__((packed, aligned(2))); };
struct __attribute__((packed)) L3 { char c; ai8 v; };
struct __attribute__((packed)) L4 { char c; int v __attribute__((aligned(4))); };
struct L5 { char c; ai2 v; };
struct L6 { char c; long long x __attribute__((aligned(16))); };
struct L7 { char c; struct { char d; int e; } __attribute__((packed)) in; };
struct L8 { char c; _Alignas(8) int v; };
struct L9 { char c; _Alignas(double) char v; };
struct __attribute__((packed)) L10 { char c; struct L8 s; };
struct L11 { char c; int b : 4 __attribute__((packed)); };
struct __attribute__((packed)) L12 { char a; int b : 12; int c : 20; char d; };
struct L13 { char a; int b : 31; int c : 2; };
struct L14 { char a; long long b : 60; char c : 7; };
struct L15 { unsigned a : 1; unsigned : 0; unsigned b : 1; char : 0; char c; };
struct L16 { char a; short : 0; char b; };
union U1 { char a; int b : 3; long long c : 33; };
struct L17 { _Bool f1 : 1; _Bool f2 : 1; unsigned char u : 6; };
enum small { S0, S1, S2 };
struct L18 { enum small e : 2; enum small f : 2; char c; };
struct L19 { char a; long double ld; };
struct L20 { char a; __int128 w; };
struct L21 { char c; int arr[0]; };
struct L22 { char c; double d; } __attribute__((aligned(2)));
typedef struct L22 L22a __attribute__((aligned(32)));
struct L23 { char c; L22a x; };
struct L24 { short s; char c[]; };
struct L25 { int a; struct L24 last; };
typedef struct { char c; int i; } __attribute__((packed)) L26;
struct L27 { char c; L26 p; };
struct L28 { char c; int i; } __attribute__((packed, aligned(2)));
struct L29 { long long x : 3; long long y : 62; };
struct L30 { char c : 3; int i : 30; };
struct L31 { unsigned char a : 7; unsigned char b : 7; unsigned char c : 7; };
struct L32 { int x; char c __attribute__((aligned)); };
struct L33 { char c; __attribute__((packed)) int i; };
struct L34 { char c; int i, j __attribute__((packed)); };
struct L35 { char c; int __attribute__((packed)) i, j; };
struct __attribute__((packed)) L36 { char c; int i __attribute__((packed)); short s; };
struct __attribute__((packed)) L37 { char c; int : 0; char d; };
struct __attribute__((packed)) L38 { char c; long long x : 3; int : 0; char d; };
struct L39 { char c; ai2 a; ai8 b; };
struct L41 { char c; long long v __attribute__((aligned(4))); };
struct L42 { char c; long long v __attribute__((packed, aligned(4))); };
struct L43 { char c; int b : 3 __attribute__((aligned(8))); };
typedef struct L43 L43t __attribute__((aligned(4)));
struct L44 { char c; L43t t; };
enum big2 { HUGE1b = 0x100000000LL, HUGE2b, HUGE3b = HUGE1b * 2 };
enum ubig2 { UBb = 0xffffffffu, UB2b = UBb + 1 };
enum flags2 { F2_A = 1u << 31, F2_B = F2_A >> 4 };
enum neg { N1 = -1, N2 = 0x80000000 };
enum mix { M1 = -1, M2 = 0x7fffffff };
typedef enum { T_A = 'a', T_B = 'b' + 1, T_C = (T_A | T_B) & ~1, T_D = sizeof(long double) * 2, T_E = (char)-1 } tenum;
struct uses { unsigned long mask[F2_B / (1u << 26)]; char buf[HUGE3b >> 30]; };
