#include "types.h"
extern counter_t hits;
