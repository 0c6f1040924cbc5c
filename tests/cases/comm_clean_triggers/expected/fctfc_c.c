#include "ccst.h"
#include "korva_c.h"

