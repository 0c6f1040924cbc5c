/* includes the next file twice, without a guard */
#include "b5.h"
#include "b5.h"
