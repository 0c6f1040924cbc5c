#include "common/string_pool.h"

#include <cstring>

namespace zv {

// 8 bytes at a time, multiplied and folded.
std::uint64_t text_hash(std::string_view text) {
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

StringPool::StringPool() : chains_(kChains, kNone) {
    entries_.reserve(kInitialEntries);
    static const char empty[] = "";
    entries_.push_back({empty, 0, kNone});
}

const char* StringPool::store(std::string_view text) {
    const std::size_t need = text.size() + 1;
    if (chunks_.empty() || chunk_size_ - chunk_used_ < need) {
        chunk_size_ = need > kChunkSize ? kChunkSize + text.size() : kChunkSize;
        chunks_.push_back(std::make_unique<char[]>(chunk_size_));
        chunk_used_ = 0;
    }
    char* place = chunks_.back().get() + chunk_used_;
    if (!text.empty()) std::memcpy(place, text.data(), text.size());
    place[text.size()] = '\0';
    chunk_used_ += need;
    return place;
}

std::uint32_t StringPool::index_of(std::string_view text, std::uint64_t hash) {
    if (text.empty()) return 0;
    const std::size_t chain = hash % kChains;
    for (std::uint32_t i = chains_[chain]; i != kNone; i = entries_[i].next) {
        const Entry& e = entries_[i];
        if (e.length == text.size() && std::memcmp(e.text, text.data(), text.size()) == 0) return i;
    }
    if (entries_.size() == entries_.capacity()) entries_.reserve(entries_.capacity() + kEntryGrowth);
    const auto index = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back({store(text), static_cast<std::uint32_t>(text.size()), chains_[chain]});
    chains_[chain] = index;
    return index;
}

StringPool& string_pool() {
    static StringPool pool;
    return pool;
}

}  // namespace zv
