/* includes the next file twice, without a guard */
#include "b11.h"
#include "b11.h"
