/* Variables of every scalar kind and a structure holding an array. */
typedef struct { int n; int vals[2]; } Rec;
