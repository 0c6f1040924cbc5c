// Fetching memory ahead of a walk by address: the address is worked out as a
// number, so that it may lie outside the object it is counted from (a
// neighbour in the same block, or nothing at all; a prefetch never faults).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zv {

inline void prefetch_at(const void* base, std::ptrdiff_t offset) {
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(base) +
                                                     static_cast<std::uintptr_t>(offset)));
}

}  // namespace zv
