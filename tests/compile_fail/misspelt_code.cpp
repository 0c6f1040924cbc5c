// Must not compile: a code that the catalog does not hold.
#include "diagnostics/report.h"

void raise() { zv::reportAtText(zv::Severity::Error, zv::Code::UNKCLPROCC, "Init", "demo.zod", 12); }
