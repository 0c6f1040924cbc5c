/* Structure layouts under #pragma pack: the limit in force at a structure's
   closing brace caps the alignment of every member, also one given by an
   attribute; push and pop, with and without names; _Pragma from a macro. */
#ifndef PACKED_LAYOUTS_H
#define PACKED_LAYOUTS_H

#pragma pack(1)
struct pl_wire_header { unsigned char kind; unsigned int length; unsigned short crc; };
struct pl_reset_inside { char c;
#pragma pack()
    int i; };
struct pl_set_inside { char c;
#pragma pack(1)
    int i; };
struct pl_member_aligned { char c; int i __attribute__((aligned(8))); };
struct pl_bits_one { char c; int a : 4; int b : 30; };
struct pl_wide_bits { char c; long long x : 40; };
#pragma pack()

#pragma pack(push, 2)
struct pl_two { char c; int i; double d; };
struct pl_two_bits { char c; int a : 4; int b : 30; char e; };
struct pl_mixed_bits { char c; int a : 7; char e; short s : 9; long long z : 60; };
struct pl_zero_width { char c; int : 0; char d; };
struct pl_zero_wide { char c; long long : 0; char d; };
union pl_two_union { char c; int i; double d; };
struct pl_own_alignment { char c; int i; } __attribute__((aligned(8)));
#pragma pack(pop)
struct pl_natural { char c; int i; };

#pragma pack(4)
struct pl_four { char c; double d; long long l; };
struct pl_four_nested { char c; struct { char d; double e; } in; };
#pragma pack(16)
struct pl_sixteen { char c; double d; };
#pragma pack()

#pragma pack(push)
#pragma pack(2)
#pragma pack(push, pl_mark, 1)
struct pl_marked { char c; int i; };
#pragma pack(pop, pl_mark)
struct pl_after_mark { char c; int i; };
#pragma pack(pop)
struct pl_after_all { char c; int i; };

#define PL_PACKED_BEGIN _Pragma("pack(push, 1)")
#define PL_PACKED_END _Pragma("pack(pop)")
PL_PACKED_BEGIN
typedef struct { unsigned char id; unsigned long long stamp; unsigned short value[3]; } pl_sample;
PL_PACKED_END
typedef struct { unsigned char id; unsigned long long stamp; } pl_sample_natural;

struct pl_holder { char c; pl_sample sample; struct pl_wire_header header; double d; };

#endif
