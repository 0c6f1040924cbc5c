/* includes the next file twice, without a guard */
#include "b6.h"
#include "b6.h"
