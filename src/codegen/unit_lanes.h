// Generation of independent units of a text (the functions of the declaration
// walk) on two threads at once, the caller's and a helper's, with the text
// written in the order of the units as if one thread had made it. What a lane
// holds back before its turn is bounded, so a long unit waits instead of the
// memory growing. The reports of a unit are given in the unit's place.
#pragma once

#include <cstddef>
#include <functional>

namespace zv {

class Emitter;

// Makes the generator of one lane around that lane's emitter (reporting
// nothing); the generator writes unit `index` at level 0 and leaves the
// emitter as it found it.
using UnitGenerator = std::function<void(std::size_t index)>;
using LaneMaker = std::function<UnitGenerator(Emitter& lane)>;

// Writes units 0 to count-1 to `out`. The lanes run with the stack size of
// the work that nests as deep as the script. The first `single` units are
// taken one at a time, so that large ones go to both lanes; the others in
// batches.
void generate_units(Emitter& out, std::size_t count, const LaneMaker& make_lane, std::size_t single = 0);

// Whether the calling thread is the helper's lane of a generation.
bool on_helper_lane();

}  // namespace zv
