/* includes the next file twice, without a guard */
#include "b3.h"
#include "b3.h"
