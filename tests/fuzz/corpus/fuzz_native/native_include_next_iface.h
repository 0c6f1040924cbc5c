#include <layer.h>
#if LAYERS != 2
#error include_next did not reach the third directory
#endif
