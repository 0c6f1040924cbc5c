#include "common/text_format.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace zv {

namespace {

// Whether every conversion of `format` is one that append_vformat does itself.
bool simple_format(const char* format) {
    for (const char* p = std::strchr(format, '%'); p; p = std::strchr(p, '%')) {
        ++p;
        if (*p == '%' || *p == 's' || *p == 'd' || *p == 'u' || *p == 'c') {
            ++p;
        } else if (p[0] == '.' && p[1] == '*' && p[2] == 's') {
            p += 3;
        } else if (p[0] == 'z' && p[1] == 'u') {
            p += 2;
        } else if (p[0] == 'l' && (p[1] == 'd' || p[1] == 'u')) {
            p += 2;
        } else if (p[0] == 'l' && p[1] == 'l' && (p[2] == 'd' || p[2] == 'u')) {
            p += 3;
        } else {
            return false;
        }
    }
    return true;
}

template <class T>
void append_number(std::string& out, T value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
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
    if (!simple_format(format)) {
        append_slow(out, format, args);
        return;
    }
    const char* p = format;
    while (const char* percent = std::strchr(p, '%')) {
        out.append(p, percent);
        p = percent + 1;
        switch (*p++) {
            case '%': out += '%'; break;
            case 'c': out += static_cast<char>(va_arg(args, int)); break;
            case 'd': append_number(out, va_arg(args, int)); break;
            case 'u': append_number(out, va_arg(args, unsigned)); break;
            case 's': {
                const char* text = va_arg(args, const char*);
                out += text ? text : "(null)";
                break;
            }
            case '.': {  // %.*s
                const int precision = va_arg(args, int);
                const char* text = va_arg(args, const char*);
                p += 2;
                if (!text) text = precision < 0 || precision >= 6 ? "(null)" : "";
                const std::size_t length = precision < 0 ? std::strlen(text) : strnlen(text, static_cast<std::size_t>(precision));
                out.append(text, length);
                break;
            }
            case 'z': append_number(out, va_arg(args, std::size_t)); ++p; break;
            case 'l':
                if (*p == 'l') {
                    ++p;
                    if (*p++ == 'd') append_number(out, va_arg(args, long long));
                    else append_number(out, va_arg(args, unsigned long long));
                } else if (*p++ == 'd') {
                    append_number(out, va_arg(args, long));
                } else {
                    append_number(out, va_arg(args, unsigned long));
                }
                break;
        }
    }
    out.append(p);
}

void append_format(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    append_vformat(out, format, args);
    va_end(args);
}

}  // namespace zv
