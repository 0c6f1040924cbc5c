/* Each level doubles the expansion: the expansions made for one token of
   the file pass the bound long before the last level, and the run ends. */
#define A0
#define A1 A0 A0
#define A2 A1 A1
#define A3 A2 A2
#define A4 A3 A3
#define A5 A4 A4
#define A6 A5 A5
#define A7 A6 A6
#define A8 A7 A7
#define A9 A8 A8
#define A10 A9 A9
#define A11 A10 A10
#define A12 A11 A11
#define A13 A12 A12
#define A14 A13 A13
#define A15 A14 A14
#define A16 A15 A15
#define A17 A16 A16
#define A18 A17 A17
#define A19 A18 A18
#define A20 A19 A19
#define A21 A20 A20
#define A22 A21 A21
#define A23 A22 A22
A23
