#include "common/string_pool.h"

#include <cstring>

namespace zv {

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

// Every entry linked again into `count` empty chains; the entries keep their
// indexes.
void StringPool::relink(std::size_t count) {
    chains_.assign(count, kNone);
    for (std::uint32_t i = 1; i < entries_.size(); ++i) {
        Entry& e = entries_[i];
        const std::size_t chain = text_hash(std::string_view(e.text, e.length)) % chains_.size();
        e.next = chains_[chain];
        chains_[chain] = i;
    }
}

// Twice as many chains (and one), so that chains stay short however many
// texts the run interns.
void StringPool::more_chains() { relink(chains_.size() * 2 + 1); }

std::uint32_t StringPool::index_of(std::string_view text, std::uint64_t hash) {
    if (text.empty()) return 0;
    if (entries_.size() > 2 * chains_.size()) more_chains();
    const std::size_t chain = hash % chains_.size();
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

void StringPool::roll_back(const Mark& mark) {
    if (mark.entries >= entries_.size()) return;
    const bool same_chains = chains_.size() == mark.chains;
    if (same_chains) {
        // Each later entry sits at the head of its chain once the entries
        // after it are unlinked: undo them newest first. Their texts are
        // hashed again, so their chunks go only after this.
        for (std::size_t i = entries_.size(); i-- > mark.entries;) {
            const Entry& e = entries_[i];
            chains_[text_hash(std::string_view(e.text, e.length)) % chains_.size()] = e.next;
        }
    }
    chunks_.resize(mark.chunks);
    chunk_used_ = mark.chunk_used;
    chunk_size_ = mark.chunk_size;
    entries_.resize(mark.entries);
    if (same_chains) return;
    relink(kChains);
    if (entries_.size() > 2 * chains_.size()) more_chains();
}

StringPool& string_pool() {
    static StringPool pool;
    return pool;
}

}  // namespace zv
