/* includes the next file twice, without a guard */
#include "b1.h"
#include "b1.h"
