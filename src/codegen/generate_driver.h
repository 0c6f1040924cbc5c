// The C test driver, the compiler's main product: the file in its fixed
// order (header comment and includes, context part, initialisation
// functions, static context, message functions, the functions of the
// declaration list, program entry), each piece written by its own unit from
// the semantic model and the codes the side outputs stored in it.
#pragma once

namespace zv {

class Emitter;
struct DriverSources;

// Writes the whole driver at level 0; the level is back at 0 at the end.
void generate_driver(Emitter& out, const DriverSources& sources);

}  // namespace zv
