/* includes the next file twice, without a guard */
#include "b7.h"
#include "b7.h"
