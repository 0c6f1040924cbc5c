/* includes the next file twice, without a guard */
#include "b16.h"
#include "b16.h"
