#include "common/text_format.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace zv {

namespace {

template <class T>
void append_number(std::string& out, T value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<std::size_t>(result.ptr - digits));
}

void append_slow(std::string& out, const char* format, va_list args) {
    va_list again;
    va_copy(again, args);
    char piece[512];
    const int length = std::vsnprintf(piece, sizeof piece, format, args);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof piece) {
        out.append(piece, static_cast<std::size_t>(length));
    } else if (length > 0) {
        const std::size_t start = out.size();
        out.resize(start + static_cast<std::size_t>(length) + 1);
        std::vsnprintf(out.data() + start, static_cast<std::size_t>(length) + 1, format, again);
        out.resize(start + static_cast<std::size_t>(length));
    }
    va_end(again);
}

}  // namespace

void append_vformat(std::string& out, const char* format, va_list args) {
    // One pass over the format; a conversion not done here takes the text
    // back and hands the whole format to the C library.
    va_list again;
    va_copy(again, args);
    const std::size_t start = out.size();
    const char* p = format;
    while (const char* percent = std::strchr(p, '%')) {
        out.append(p, static_cast<std::size_t>(percent - p));
        p = percent + 1;
        if (*p == '%') {
            out += '%';
            ++p;
        } else if (*p == 'c') {
            out += static_cast<char>(va_arg(args, int));
            ++p;
        } else if (*p == 'd') {
            append_number(out, va_arg(args, int));
            ++p;
        } else if (*p == 'u') {
            append_number(out, va_arg(args, unsigned));
            ++p;
        } else if (*p == 's') {
            const char* text = va_arg(args, const char*);
            out += text ? text : "(null)";
            ++p;
        } else if (p[0] == '.' && p[1] == '*' && p[2] == 's') {
            const int precision = va_arg(args, int);
            const char* text = va_arg(args, const char*);
            p += 3;
            if (!text) text = precision < 0 || precision >= 6 ? "(null)" : "";
            const std::size_t length =
                precision < 0 ? std::strlen(text) : strnlen(text, static_cast<std::size_t>(precision));
            out.append(text, length);
        } else if (p[0] == 'z' && p[1] == 'u') {
            append_number(out, va_arg(args, std::size_t));
            p += 2;
        } else if (p[0] == 'l' && p[1] == 'd') {
            append_number(out, va_arg(args, long));
            p += 2;
        } else if (p[0] == 'l' && p[1] == 'u') {
            append_number(out, va_arg(args, unsigned long));
            p += 2;
        } else if (p[0] == 'l' && p[1] == 'l' && p[2] == 'd') {
            append_number(out, va_arg(args, long long));
            p += 3;
        } else if (p[0] == 'l' && p[1] == 'l' && p[2] == 'u') {
            append_number(out, va_arg(args, unsigned long long));
            p += 3;
        } else {
            out.resize(start);
            append_slow(out, format, again);
            va_end(again);
            return;
        }
    }
    out.append(p);
    va_end(again);
}

void append_format(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    append_vformat(out, format, args);
    va_end(args);
}

}  // namespace zv
