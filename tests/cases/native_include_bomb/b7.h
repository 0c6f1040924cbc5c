/* includes the next file twice, without a guard */
#include "b8.h"
#include "b8.h"
