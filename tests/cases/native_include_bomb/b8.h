/* includes the next file twice, without a guard */
#include "b9.h"
#include "b9.h"
