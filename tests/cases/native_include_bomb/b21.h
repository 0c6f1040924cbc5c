/* includes the next file twice, without a guard */
#include "b22.h"
#include "b22.h"
