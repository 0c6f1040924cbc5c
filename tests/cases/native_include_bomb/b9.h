/* includes the next file twice, without a guard */
#include "b10.h"
#include "b10.h"
