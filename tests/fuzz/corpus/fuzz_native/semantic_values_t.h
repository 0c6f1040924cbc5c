/* Message-like types: nested structures, a union, an array of structures,
   a character array, pointers, an enumeration and bit-fields. */
enum colour { RED, GREEN, BLUE };
struct point { int x; int y; };
union number { int i; double d; };
struct flags { unsigned int ready : 1; unsigned int mode : 3; };
typedef struct record {
    struct point pos;
    struct point path[4];
    union number n;
    char name[8];
    char *label;
    void *data;
    enum colour colour;
    struct flags f;
} record_t;
extern int open_ended[];
