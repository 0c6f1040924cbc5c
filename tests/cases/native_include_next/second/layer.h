#define LAYERS 1
#include_next <layer.h>
