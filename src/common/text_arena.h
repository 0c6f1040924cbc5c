// Storage for many small texts that live as long as their owner (a syntax tree,
// a semantic model): copies are packed into large chunks, released together.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace zv {

class TextArena {
public:
    // A NUL-terminated copy of `text` that stays valid as long as the arena.
    const char* copy(std::string_view text);

private:
    static constexpr std::size_t kChunk = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t left_ = 0;
    char* next_ = nullptr;
};

}  // namespace zv
