/* includes the next file twice, without a guard */
#include "b21.h"
#include "b21.h"
