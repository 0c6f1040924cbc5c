/* includes the next file twice, without a guard */
#include "b4.h"
#include "b4.h"
