/* includes the next file twice, without a guard */
#include "b17.h"
#include "b17.h"
