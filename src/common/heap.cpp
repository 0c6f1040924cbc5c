#include "common/heap.h"

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__) && !defined(ZV_SANITIZED_HEAP)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace zv {

void prepare_heap() {
#if defined(__GLIBC__) && !defined(ZV_SANITIZED_HEAP)
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    constexpr std::size_t kHuge = 2 * kMiB;
    // Large blocks from the heap rather than from mappings of their own, and
    // nothing given back to the system before the end: a growing vector's old
    // buffer is reused instead of the system zeroing fresh pages for the next.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(32 * kMiB));
    // The phases run on a thread with a large stack while the main thread
    // waits: one arena for both, so that the thread fills the heap prepared
    // here instead of a separate arena grown a page range at a time.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(1024 * kMiB));
    // Reserve address space for the heap in one step (untouched pages cost
    // nothing) and ask for huge pages over it; later growth is the usual.
    mallopt(M_TOP_PAD, static_cast<int>(128 * kMiB));
    auto* before = static_cast<char*>(sbrk(0));
    const struct mallinfo2 info = mallinfo2();
    void* volatile block = std::malloc(info.keepcost + 64 * 1024);  // volatile: the pair must not be folded away
    std::free(block);
    auto* after = static_cast<char*>(sbrk(0));
    mallopt(M_TOP_PAD, static_cast<int>(kMiB));
    if (before == reinterpret_cast<char*>(-1) || after <= before) return;
    const auto start = (reinterpret_cast<std::uintptr_t>(before) + kHuge - 1) & ~(kHuge - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(after) & ~(kHuge - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
}

}  // namespace zv
