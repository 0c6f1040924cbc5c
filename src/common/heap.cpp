#include "common/heap.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

#include <string_view>

#if defined(__linux__)
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#if defined(__GLIBC__) && !defined(ZV_SANITIZED_HEAP)
#include <malloc.h>
#endif

namespace zv {

namespace {

// The stretch of the heap on huge pages, where the system gives them.
std::atomic<std::uintptr_t> huge_from{0}, huge_to{0};

// Whether the system gives huge pages where a program asks for them.
[[maybe_unused]] bool huge_pages_offered() {
#if defined(__linux__)
    const int file = ::open("/sys/kernel/mm/transparent_hugepage/enabled", O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    char text[128];
    const ssize_t got = ::read(file, text, sizeof text - 1);
    ::close(file);
    if (got <= 0) return false;
    const std::string_view mode(text, static_cast<std::size_t>(got));
    return mode.find("[always]") != std::string_view::npos || mode.find("[madvise]") != std::string_view::npos;
#else
    return false;
#endif
}

}  // namespace

void prepare_heap() {
#if defined(__GLIBC__) && !defined(ZV_SANITIZED_HEAP)
    constexpr std::size_t kMiB = std::size_t{1} << 20;
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
    void* volatile block = std::malloc(mallinfo2().keepcost + 64 * 1024);  // volatile: the pair must not be folded away
    std::free(block);
    auto* after = static_cast<char*>(sbrk(0));
    mallopt(M_TOP_PAD, static_cast<int>(kMiB));
    if (before != reinterpret_cast<char*>(-1) && after > before) {
        const auto [from, to] = advise_huge_pages(before, after - before);
        // There a block needs no readying: its first touch brings a whole
        // huge page at once.
        if (to > from && huge_pages_offered()) {
            huge_from.store(from, std::memory_order_relaxed);
            huge_to.store(to, std::memory_order_relaxed);
        }
    }
#endif
}

std::pair<std::uintptr_t, std::uintptr_t> advise_huge_pages(void* block, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // The run fills what it takes densely, so a huge page is seldom cleared
    // in vain, and it spares the system a fault for each small page (costly
    // in a virtual machine whose host takes back the memory the guest frees).
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const auto start = (reinterpret_cast<std::uintptr_t>(block) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~(kHuge - 1);
    if (end > start && madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE) == 0) return {start, end};
#else
    (void)block;
    (void)bytes;
#endif
    return {0, 0};
}

namespace {
std::atomic<void (*)()> pages_preparer{nullptr};
}

void prepare_pages_ahead() {
    if (void (*preparer)() = pages_preparer.load(std::memory_order_acquire)) preparer();
}

void set_pages_preparer(void (*preparer)()) { pages_preparer.store(preparer, std::memory_order_release); }

void populate(void* block, std::size_t bytes) {
#if defined(__linux__)
#ifndef MADV_POPULATE_WRITE
    constexpr int MADV_POPULATE_WRITE = 23;  // older headers; older systems refuse it, which is harmless
#endif
    constexpr std::uintptr_t kPageMask = 4095;
    const auto start = (reinterpret_cast<std::uintptr_t>(block) + kPageMask) & ~kPageMask;
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~kPageMask;
    if (start >= huge_from.load(std::memory_order_relaxed) && end <= huge_to.load(std::memory_order_relaxed)) return;
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
    (void)block;
    (void)bytes;
#endif
}

}  // namespace zv
