/* includes the next file twice, without a guard */
#include "b12.h"
#include "b12.h"
