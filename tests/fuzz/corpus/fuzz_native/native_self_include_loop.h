/* no guard */
#include "loop.h"
