// Heap set-up for a short run that builds large tables: freed memory stays
// with the process for reuse, and the heap's address space is reserved at once,
// on huge pages where the system offers them.
#pragma once

// Defined when a sanitizer brings its own allocator: the heap is left as it
// gives it, and the program's small blocks are not used.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(__SANITIZE_HWADDRESS__)
#define ZV_SANITIZED_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer) || \
    __has_feature(hwaddress_sanitizer)
#define ZV_SANITIZED_HEAP 1
#endif
#endif

// Defined in a build with the address sanitizer: memory a store keeps for
// reuse is poisoned instead, so that a late read of it is caught.
#if defined(__SANITIZE_ADDRESS__)
#define ZV_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZV_ADDRESS_SANITIZER 1
#endif
#endif

#include <cstddef>
#include <cstdint>
#include <utility>

namespace zv {

// Call once, early in main. Harmless where the allocator or the system does
// not support it (sanitizer builds).
void prepare_heap();

// Asks the system to back the whole 2 MiB stretches of a block with huge
// pages where it offers them (one fault and one clearing per stretch), and
// gives the stretch asked for. Nothing (an empty stretch) where it cannot.
std::pair<std::uintptr_t, std::uintptr_t> advise_huge_pages(void* block, std::size_t bytes);

// Has the system give the pages of a fresh block that is about to be filled
// from start to end in one call, rather than one page fault per page.
// Nothing where the system cannot, or where the heap is on huge pages; the
// contents are left as they are.
void populate(void* block, std::size_t bytes);

// Has the program's allocator of small blocks ready pages ahead for the
// threads that take many, where it can: for a thread with time to spare
// while another allocates. Nothing where no such allocator is set.
void prepare_pages_ahead();
// The allocator's way of readying pages (set once, at start-up).
void set_pages_preparer(void (*preparer)());

}  // namespace zv
