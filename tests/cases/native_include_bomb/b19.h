/* includes the next file twice, without a guard */
#include "b20.h"
#include "b20.h"
