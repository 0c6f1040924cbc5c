/* includes the next file twice, without a guard */
#include "b15.h"
#include "b15.h"
