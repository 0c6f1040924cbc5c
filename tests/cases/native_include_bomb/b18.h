/* includes the next file twice, without a guard */
#include "b19.h"
#include "b19.h"
