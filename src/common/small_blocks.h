// The compiler's operator new and delete: blocks of up to 256 bytes (nodes,
// entries, short strings: nearly every allocation of a run) come from
// per-thread free lists over pages of one block size each; larger blocks and
// everything when sanitizers are on go to malloc. Freed blocks stay with the
// process for reuse, as the heap set-up keeps the rest. Linked into the
// executable and the unit tests only (replacing the global operators is the
// program's choice, not the library's).
#pragma once

#include <cstddef>

namespace zv::small_blocks {

// Whether the replacement is in this build (not under sanitizers).
bool active();

// Whether `block` came from the small-block pages.
bool owns(const void* block);

// The pages taken from the system so far (for tests of reuse).
std::size_t pages_taken();

// The chunks of pages readied ahead that were then cut into pages (for tests).
std::size_t ready_chunks_taken();

}  // namespace zv::small_blocks
