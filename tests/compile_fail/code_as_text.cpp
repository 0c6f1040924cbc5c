// Must not compile: a code written as a string instead of a typed code.
#include "diagnostics/report.h"

void raise() { zv::reportAtText(zv::Severity::Error, "UNKCLPROC", "Init", "demo.zod", 12); }
