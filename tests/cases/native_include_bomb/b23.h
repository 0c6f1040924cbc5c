/* includes the next file twice, without a guard */
#include "b24.h"
#include "b24.h"
