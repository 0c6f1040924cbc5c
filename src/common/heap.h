// Heap set-up for a short run that builds large tables: freed memory stays
// with the process for reuse, and the heap is backed by huge pages where the
// system offers them, so that filling it costs few page faults.
#pragma once

namespace zv {

// Call once, early in main. Harmless where the allocator or the system does
// not support it (sanitizer builds, huge pages disabled).
void prepare_heap();

}  // namespace zv
