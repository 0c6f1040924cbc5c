/* needs a header nobody has */
#include <absent_header.h>
int x;
