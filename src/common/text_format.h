// printf-style formatting appended to a std::string, for the generators' fixed
// formats. The conversions they use (%s, %.*s, %d, %ld, %lld, %u, %lu, %zu, %c,
// %%) are done here without the C library's stream machinery; a format with
// any other conversion or a flag or width goes to vsnprintf as a whole, so the
// text is always what printf would give.
#pragma once

#include <cstdarg>
#include <string>

namespace zv {

void append_vformat(std::string& out, const char* format, va_list args);
void append_format(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace zv
