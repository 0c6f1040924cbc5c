/* includes the next file twice, without a guard */
#include "b2.h"
#include "b2.h"
