#include "common/small_blocks.h"

#include "common/heap.h"

#include <pthread.h>
#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>
#include <utility>

namespace zv::small_blocks {

#ifdef ZV_SANITIZED_HEAP

bool active() { return false; }
bool owns(const void*) { return false; }
std::size_t pages_taken() { return 0; }
std::size_t ready_chunks_taken() { return 0; }

#else

namespace {

constexpr std::size_t kGranule = 16;
constexpr std::size_t kMaxSmall = 256;
constexpr unsigned kClasses = kMaxSmall / kGranule;  // class c holds blocks of (c + 1) * 16 bytes
constexpr std::size_t kPageShift = 16;                 // pages of 64 KiB, one block size each
constexpr std::size_t kPage = std::size_t{1} << kPageShift;
constexpr std::size_t kChunkShift = 22;  // pages are taken from the system in chunks of 4 MiB
constexpr std::size_t kChunk = std::size_t{1} << kChunkShift;
constexpr std::size_t kPagesPerChunk = kChunk / kPage;
// The first page of a chunk starts with the block size of each of its pages.
constexpr std::size_t kChunkHeader = 64;
static_assert(kPagesPerChunk <= kChunkHeader);

constexpr std::size_t block_size(unsigned c) { return (c + 1) * kGranule; }

// One bit per possible chunk of the 47-bit user address space: 4 MiB of
// zero pages, touched only where chunks are.
constexpr std::size_t kAddressBits = 47;
constexpr std::size_t kChunkSlots = std::size_t{1} << (kAddressBits - kChunkShift);
std::atomic<std::uint64_t> chunk_bits[kChunkSlots / 64];

struct Cache {
    void* free[kClasses];
    char* bump[kClasses];
    char* end[kClasses];
    // New, registered (the lists are handed over when the thread ends), or
    // retired (the thread has ended: no more pages for it).
    enum : unsigned char { kNew, kRegistered, kRetired } state;
};

// Constant-initialised and trivially destructible: no guard on the fast path.
constinit thread_local Cache cache{};

// What ended threads leave behind, and the chunk pages are cut from.
struct Shared {
    std::mutex lock;
    void* free[kClasses] = {};
    char* bump[kClasses] = {};
    char* end[kClasses] = {};
    char* chunk = nullptr;
    std::size_t next_page = kPagesPerChunk;
    std::size_t pages = 0;  // taken so far
    // Readied ahead: the chunk whose pages the system has given, and the
    // next chunk, mapped with its pages.
    char* prepared = nullptr;
    char* ready = nullptr;
    bool readying = false;  // a caller is readying the next chunk
    std::size_t ready_taken = 0;
};

// Set for good once the system gives no more chunks (or gives them where the
// chunk bits cannot mark them): from then on small blocks come from malloc,
// without asking again for each one.
std::atomic<bool> no_pages{false};

Shared& shared() {
    static Shared* s = [] {
        auto* store = new (std::malloc(sizeof(Shared))) Shared();  // never destroyed: threads may end late
        // A child forked while another thread held the lock would wait forever.
        pthread_atfork([] { shared().lock.lock(); }, [] { shared().lock.unlock(); },
                       [] { shared().lock.unlock(); });
        return store;
    }();
    return *s;
}

bool owned(std::uintptr_t address) {
    const std::uintptr_t slot = address >> kChunkShift;
    if (slot >= kChunkSlots) return false;
    return (chunk_bits[slot / 64].load(std::memory_order_relaxed) >> (slot % 64)) & 1U;
}

char* map_chunk() {
    // Twice the size, then trimmed to an aligned chunk.
    void* area = mmap(nullptr, 2 * kChunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t aligned = (start + kChunk - 1) & ~(kChunk - 1);
    if (aligned > start) munmap(area, aligned - start);
    const std::uintptr_t tail = aligned + kChunk, area_end = start + 2 * kChunk;
    if (area_end > tail) munmap(reinterpret_cast<void*>(tail), area_end - tail);
    const std::uintptr_t slot = aligned >> kChunkShift;
    if (slot >= kChunkSlots) {
        munmap(reinterpret_cast<void*>(aligned), kChunk);
        return nullptr;
    }
    advise_huge_pages(reinterpret_cast<void*>(aligned), kChunk);
    chunk_bits[slot / 64].fetch_or(std::uint64_t{1} << (slot % 64), std::memory_order_relaxed);
    return reinterpret_cast<char*>(aligned);
}

// Gives the thread's lists and open pages to the shared store when it ends.
struct Retirer {
    ~Retirer() {
        Shared& s = shared();
        const std::lock_guard<std::mutex> hold(s.lock);
        for (unsigned c = 0; c < kClasses; ++c) {
            if (void* list = cache.free[c]) {
                void* last = list;
                while (void* next = *static_cast<void**>(last)) last = next;
                *static_cast<void**>(last) = s.free[c];
                s.free[c] = list;
            }
            const auto left = static_cast<std::size_t>(cache.end[c] - cache.bump[c]);
            if (left >= block_size(c) && s.bump[c] == s.end[c]) {
                s.bump[c] = cache.bump[c];
                s.end[c] = cache.end[c];
            }
            cache.free[c] = nullptr;
            cache.bump[c] = cache.end[c] = nullptr;
        }
        cache.state = Cache::kRetired;
    }
};

void register_thread() {
    thread_local Retirer retirer;
    (void)retirer;
    cache.state = Cache::kRegistered;
}

// A block of class `c` when the thread's list and page are empty: what ended
// threads left, or a fresh page. Null when no page can be had.
void* refill(unsigned c) {
    if (cache.state == Cache::kRetired || no_pages.load(std::memory_order_relaxed)) return nullptr;
    if (cache.state == Cache::kNew) register_thread();
    const std::size_t size = block_size(c);
    Shared& s = shared();
    const std::lock_guard<std::mutex> hold(s.lock);
    if (void* list = s.free[c]) {
        s.free[c] = nullptr;
        cache.free[c] = *static_cast<void**>(list);
        return list;
    }
    if (s.bump[c] != s.end[c]) {
        cache.bump[c] = s.bump[c];
        cache.end[c] = s.end[c];
        s.bump[c] = s.end[c] = nullptr;
    } else {
        if (s.next_page == kPagesPerChunk) {
            char* chunk = std::exchange(s.ready, nullptr);
            if (chunk) {
                s.prepared = chunk;
                ++s.ready_taken;
            } else if (!(chunk = map_chunk())) {
                no_pages.store(true, std::memory_order_relaxed);
                return nullptr;
            }
            s.chunk = chunk;
            s.next_page = 0;
        }
        ++s.pages;
        const std::size_t page = s.next_page++;
        s.chunk[page] = static_cast<char>(c);
        char* first = s.chunk + page * kPage;
        cache.bump[c] = page == 0 ? first + kChunkHeader : first;
        cache.end[c] = first + kPage;
    }
    if (static_cast<std::size_t>(cache.end[c] - cache.bump[c]) < size) return nullptr;
    void* block = cache.bump[c];
    cache.bump[c] += size;
    return block;
}

// Once a run has cut a whole chunk into pages, the chunk being cut is given
// its pages by the system at once, and the next one is mapped and given its
// pages when the current one is half cut: the threads that cut them then
// find their memory present. A smaller run gets nothing ahead.
void prepare_ahead() {
    if (no_pages.load(std::memory_order_relaxed)) return;
    Shared& s = shared();
    char* current = nullptr;
    bool next = false;
    {
        const std::lock_guard<std::mutex> hold(s.lock);
        if (s.pages < kPagesPerChunk) return;
        if (s.chunk != s.prepared) current = s.prepared = s.chunk;
        next = !s.ready && !s.readying && s.next_page >= kPagesPerChunk / 2;
        s.readying = s.readying || next;
    }
    if (current) populate(current, kChunk);
    if (!next) return;
    char* chunk = map_chunk();
    if (chunk) populate(chunk, kChunk);
    else no_pages.store(true, std::memory_order_relaxed);  // as a cutting thread would find, without asking again
    const std::lock_guard<std::mutex> hold(s.lock);
    s.ready = chunk;
    s.readying = false;
}

// Registers the preparer with the heap set-up before main.
[[maybe_unused]] const bool preparer_set = (set_pages_preparer(&prepare_ahead), true);

void* large(std::size_t size) {
    for (;;) {
        if (void* block = std::malloc(size ? size : 1)) return block;
        std::new_handler handler = std::get_new_handler();
        if (!handler) return nullptr;
        handler();
    }
}

inline void* allocate(std::size_t size) {
    if (size <= kMaxSmall) {
        const unsigned c = size ? static_cast<unsigned>((size - 1) / kGranule) : 0;
        if (void* block = cache.free[c]) {
            cache.free[c] = *static_cast<void**>(block);
            return block;
        }
        const std::size_t bytes = block_size(c);
        if (static_cast<std::size_t>(cache.end[c] - cache.bump[c]) >= bytes) {
            void* block = cache.bump[c];
            cache.bump[c] += bytes;
            return block;
        }
        if (void* block = refill(c)) return block;
    }
    return large(size);
}

inline void release(void* block) {
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    if (!owned(address)) {
        std::free(block);
        return;
    }
    const auto* chunk = reinterpret_cast<const unsigned char*>(address & ~(kChunk - 1));
    const unsigned c = chunk[(address & (kChunk - 1)) >> kPageShift];
    // A thread that only frees must still hand its lists over when it ends.
    if (cache.state == Cache::kNew) register_thread();
    *static_cast<void**>(block) = cache.free[c];
    cache.free[c] = block;
}

void* allocate_or_throw(std::size_t size) {
    if (void* block = allocate(size)) return block;
    throw std::bad_alloc();
}

void* allocate_or_null(std::size_t size) noexcept {
    try {
        return allocate(size);
    } catch (...) {  // a new_handler that throws
        return nullptr;
    }
}

}  // namespace

bool active() { return true; }
bool owns(const void* block) { return owned(reinterpret_cast<std::uintptr_t>(block)); }
std::size_t pages_taken() {
    Shared& s = shared();
    const std::lock_guard<std::mutex> hold(s.lock);
    return s.pages;
}

std::size_t ready_chunks_taken() {
    Shared& s = shared();
    const std::lock_guard<std::mutex> hold(s.lock);
    return s.ready_taken;
}

#endif

}  // namespace zv::small_blocks

#ifndef ZV_SANITIZED_HEAP

void* operator new(std::size_t size) { return zv::small_blocks::allocate_or_throw(size); }
void* operator new[](std::size_t size) { return zv::small_blocks::allocate_or_throw(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return zv::small_blocks::allocate_or_null(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return zv::small_blocks::allocate_or_null(size);
}
void operator delete(void* block) noexcept { zv::small_blocks::release(block); }
void operator delete[](void* block) noexcept { zv::small_blocks::release(block); }
void operator delete(void* block, std::size_t) noexcept { zv::small_blocks::release(block); }
void operator delete[](void* block, std::size_t) noexcept { zv::small_blocks::release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { zv::small_blocks::release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { zv::small_blocks::release(block); }

#endif
