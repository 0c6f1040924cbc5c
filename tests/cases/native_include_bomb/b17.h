/* includes the next file twice, without a guard */
#include "b18.h"
#include "b18.h"
