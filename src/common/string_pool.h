// Process-wide store of interned C strings for the semantic analysis and the
// interface-file analysis: equal texts share one stored copy, and the pointers
// handed out stay valid until the end of the run. Entry 0 is the empty text.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <string_view>
#include <vector>

namespace zv {

// The pool's hash of a text: 8 bytes at a time, multiplied and folded. Callers
// that keep their own table of texts may reuse it and hand it back to the pool.
inline std::uint64_t text_hash(std::string_view text) {
    std::uint64_t h = 0x9e3779b97f4a7c15ull ^ text.size();
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        h = (h ^ word) * 0xff51afd7ed558ccdull;
        h ^= h >> 32;
    }
    // The last 1 to 7 bytes, in two loads that may overlap (fixed-size copies
    // become plain loads).
    const char* p = text.data() + i;
    const std::size_t rest = text.size() - i;
    std::uint64_t tail = 0;
    if (rest >= 4) {
        std::uint32_t low, high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + rest - 4, 4);
        tail = low | static_cast<std::uint64_t>(high) << 32;
    } else if (rest > 0) {
        tail = static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[rest / 2]) << 8 |
               static_cast<std::uint64_t>(static_cast<unsigned char>(p[rest - 1])) << 16;
    }
    h = (h ^ tail) * 0xc4ceb9fe1a85ec53ull;
    return h ^ (h >> 29);
}

class StringPool {
public:
    static constexpr std::size_t kChains = 19997;  // at first: the chains double once they hold two entries each
    static constexpr std::size_t kInitialEntries = 10000;
    static constexpr std::size_t kEntryGrowth = 20000;
    static constexpr std::size_t kChunkSize = 100000;

    StringPool();

    // The stored copy of `text` (NUL-terminated), added on first use.
    const char* intern(std::string_view text) { return intern(text, text_hash(text)); }
    // The same with `hash` == text_hash(text) already computed.
    const char* intern(std::string_view text, std::uint64_t hash) {
        if (!shared_.load(std::memory_order_acquire)) return text_of(index_of(text, hash));
        const std::lock_guard<SharedLock> lock(lock_);
        return text_of(index_of(text, hash));
    }
    // While two threads intern (the parser and the semantic analysis beside
    // it), intern() takes a lock; set before the second thread starts and
    // cleared once only one of them is left. The calls below stay for one
    // thread at a time.
    void set_shared(bool shared) { shared_.store(shared, std::memory_order_release); }
    // The entry index of `text`, added on first use.
    std::uint32_t index_of(std::string_view text) { return index_of(text, text_hash(text)); }
    std::uint32_t index_of(std::string_view text, std::uint64_t hash);
    const char* text_of(std::uint32_t index) const { return entries_[index].text; }
    std::size_t length_of(std::uint32_t index) const { return entries_[index].length; }

    // Where the pool stands, and the way back there: every text interned
    // since is forgotten and its pointers dangle. For tests that run several
    // compilations in one process; the mark is taken once the process-wide
    // tables of pooled texts exist.
    struct Mark {
        std::size_t entries, chunks, chunk_used, chunk_size, chains;
    };
    Mark mark() const { return {entries_.size(), chunks_.size(), chunk_used_, chunk_size_, chains_.size()}; }
    void roll_back(const Mark& mark);

    std::size_t size() const { return entries_.size(); }
    std::size_t entry_capacity() const { return entries_.capacity(); }
    std::size_t chunk_count() const { return chunks_.size(); }
    std::size_t chain_count() const { return chains_.size(); }

private:
    struct Entry {
        const char* text;
        std::uint32_t length;
        std::uint32_t next;  // next entry of the same chain, kNone at the end
    };
    static constexpr std::uint32_t kNone = 0xffffffffu;

    const char* store(std::string_view text);
    void relink(std::size_t count);
    void more_chains();

    std::vector<std::uint32_t> chains_;
    std::vector<Entry> entries_;
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t chunk_used_ = 0;
    std::size_t chunk_size_ = 0;
    // Held while a text is interned by one of two threads. The other thread
    // interns rarely (the parser, a file name at an INCLUDE): taking the lock
    // is one atomic exchange, and a thread that finds it taken yields.
    class SharedLock {
    public:
        void lock() {
            while (taken_.exchange(true, std::memory_order_acquire)) std::this_thread::yield();
        }
        void unlock() { taken_.store(false, std::memory_order_release); }

    private:
        std::atomic<bool> taken_{false};
    };

    std::atomic<bool> shared_{false};
    SharedLock lock_;
};

// The run's pool, created on first use (the driver touches it before the
// interface-file analysis).
StringPool& string_pool();

}  // namespace zv
