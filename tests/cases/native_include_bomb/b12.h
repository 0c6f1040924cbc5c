/* includes the next file twice, without a guard */
#include "b13.h"
#include "b13.h"
