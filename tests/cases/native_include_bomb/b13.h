/* includes the next file twice, without a guard */
#include "b14.h"
#include "b14.h"
