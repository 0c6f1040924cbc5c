/* includes the next file twice, without a guard */
#include "b23.h"
#include "b23.h"
