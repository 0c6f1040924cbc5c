// Process-wide store of interned C strings for the semantic analysis and the
// interface-file analysis: equal texts share one stored copy, and the pointers
// handed out stay valid until the end of the run. Entry 0 is the empty text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace zv {

// The pool's hash of a text: 8 bytes at a time, multiplied and folded. Callers
// that keep their own table of texts may reuse it and hand it back to the pool.
std::uint64_t text_hash(std::string_view text);

class StringPool {
public:
    static constexpr std::size_t kChains = 19997;
    static constexpr std::size_t kInitialEntries = 10000;
    static constexpr std::size_t kEntryGrowth = 20000;
    static constexpr std::size_t kChunkSize = 100000;

    StringPool();

    // The stored copy of `text` (NUL-terminated), added on first use.
    const char* intern(std::string_view text) { return text_of(index_of(text)); }
    // The same with `hash` == text_hash(text) already computed.
    const char* intern(std::string_view text, std::uint64_t hash) { return text_of(index_of(text, hash)); }
    // The entry index of `text`, added on first use.
    std::uint32_t index_of(std::string_view text) { return index_of(text, text_hash(text)); }
    std::uint32_t index_of(std::string_view text, std::uint64_t hash);
    const char* text_of(std::uint32_t index) const { return entries_[index].text; }
    std::size_t length_of(std::uint32_t index) const { return entries_[index].length; }

    std::size_t size() const { return entries_.size(); }
    std::size_t entry_capacity() const { return entries_.capacity(); }
    std::size_t chunk_count() const { return chunks_.size(); }

private:
    struct Entry {
        const char* text;
        std::uint32_t length;
        std::uint32_t next;  // next entry of the same chain, kNone at the end
    };
    static constexpr std::uint32_t kNone = 0xffffffffu;

    const char* store(std::string_view text);

    std::vector<std::uint32_t> chains_;
    std::vector<Entry> entries_;
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t chunk_used_ = 0;
    std::size_t chunk_size_ = 0;
};

// The run's pool, created on first use (the driver touches it before the
// interface-file analysis).
StringPool& string_pool();

}  // namespace zv
