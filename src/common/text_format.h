// printf-style formatting appended to a std::string or written straight into
// a caller's room, for the generators' fixed formats. The conversions they use
// (%s, %.*s, %d, %ld, %lld, %u, %lu, %zu, %c, %%) are done here without the C
// library's stream machinery; a format with any other conversion or a flag or
// width goes to vsnprintf as a whole, so the text is always what printf would
// give.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

namespace zv {

void append_vformat(std::string& out, const char* format, va_list args);

// Room that formatted text is written into directly: the bytes from `at` to
// `end` are free. more(count) makes at least `count` bytes free and moves both
// pointers (the text written so far stays before `at`).
class FormatRoom {
public:
    char* at = nullptr;
    char* end = nullptr;
    virtual void more(std::size_t count) = 0;

protected:
    ~FormatRoom() = default;
};

// Formats into the room with the conversions done here, without a copy of
// the arguments: false, with nothing written, at any other conversion. The
// caller then starts its arguments again for vformat_whole_into, which hands
// the whole format to the C library.
bool vformat_simple_into(FormatRoom& room, const char* format, va_list args);
void vformat_whole_into(FormatRoom& room, const char* format, va_list args);
void append_format(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace zv
