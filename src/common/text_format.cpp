#include "common/text_format.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace zv {

namespace {

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

// The text of one format, gathered in a local buffer and appended to the
// string in large steps: most formats make one short line.
class Gathered {
public:
    explicit Gathered(std::string& out) : out_(out) {}
    void put(char c) {
        if (used_ == sizeof local_) spill();
        local_[used_++] = c;
    }
    void put(const char* text, std::size_t length) {
        if (used_ + length > sizeof local_) {
            spill();
            if (length > sizeof local_) {
                out_.append(text, length);
                return;
            }
        }
        std::memcpy(local_ + used_, text, length);
        used_ += length;
    }
    template <class T>
    void put_number(T value) {
        if (used_ + 24 > sizeof local_) spill();
        used_ = static_cast<std::size_t>(std::to_chars(local_ + used_, local_ + sizeof local_, value).ptr - local_);
    }
    void spill() {
        out_.append(local_, used_);
        used_ = 0;
    }

private:
    std::string& out_;
    std::size_t used_ = 0;
    char local_[512];
};

}  // namespace

void append_vformat(std::string& out, const char* format, va_list args) {
    // One pass over the format; a conversion not done here takes the text
    // back and hands the whole format to the C library.
    va_list again;
    va_copy(again, args);
    const std::size_t start = out.size();
    Gathered text(out);
    for (const char* p = format;;) {
        const char* percent = strchrnul(p, '%');
        text.put(p, static_cast<std::size_t>(percent - p));
        if (*percent == '\0') break;
        p = percent + 1;
        if (*p == '%') {
            text.put('%');
            ++p;
        } else if (*p == 'c') {
            text.put(static_cast<char>(va_arg(args, int)));
            ++p;
        } else if (*p == 'd') {
            text.put_number(va_arg(args, int));
            ++p;
        } else if (*p == 'u') {
            text.put_number(va_arg(args, unsigned));
            ++p;
        } else if (*p == 's') {
            const char* s = va_arg(args, const char*);
            if (!s) s = "(null)";
            text.put(s, std::strlen(s));
            ++p;
        } else if (p[0] == '.' && p[1] == '*' && p[2] == 's') {
            const int precision = va_arg(args, int);
            const char* s = va_arg(args, const char*);
            p += 3;
            if (!s) s = precision < 0 || precision >= 6 ? "(null)" : "";
            text.put(s, precision < 0 ? std::strlen(s) : strnlen(s, static_cast<std::size_t>(precision)));
        } else if (p[0] == 'z' && p[1] == 'u') {
            text.put_number(va_arg(args, std::size_t));
            p += 2;
        } else if (p[0] == 'l' && p[1] == 'd') {
            text.put_number(va_arg(args, long));
            p += 2;
        } else if (p[0] == 'l' && p[1] == 'u') {
            text.put_number(va_arg(args, unsigned long));
            p += 2;
        } else if (p[0] == 'l' && p[1] == 'l' && p[2] == 'd') {
            text.put_number(va_arg(args, long long));
            p += 3;
        } else if (p[0] == 'l' && p[1] == 'l' && p[2] == 'u') {
            text.put_number(va_arg(args, unsigned long long));
            p += 3;
        } else {
            out.resize(start);
            append_slow(out, format, again);
            va_end(again);
            return;
        }
    }
    text.spill();
    va_end(again);
}

void append_format(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    append_vformat(out, format, args);
    va_end(args);
}

}  // namespace zv
