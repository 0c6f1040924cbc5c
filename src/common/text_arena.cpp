#include "common/text_arena.h"

#include "common/heap.h"

#include <cstring>

namespace zv {

const char* TextArena::copy(std::string_view text) {
    const std::size_t need = text.size() + 1;
    if (need > left_) {
        const std::size_t size = need > kChunk ? need : kChunk;
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(size));
        populate(chunks_.back().get(), size);
        next_ = chunks_.back().get();
        left_ = size;
    }
    char* out = next_;
    if (!text.empty()) std::memcpy(out, text.data(), text.size());
    out[text.size()] = '\0';
    next_ += need;
    left_ -= need;
    return out;
}

}  // namespace zv
