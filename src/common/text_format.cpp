#include "common/text_format.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace zv {

namespace {

// The end of a string as room for the C library's text.
class StringTail final : public FormatRoom {
public:
    explicit StringTail(std::string& out) : out_(out) { place(out.size()); }
    ~StringTail() { out_.resize(static_cast<std::size_t>(at - out_.data())); }
    StringTail(const StringTail&) = delete;
    StringTail& operator=(const StringTail&) = delete;
    void more(std::size_t count) override {
        const auto used = static_cast<std::size_t>(at - out_.data());
        out_.resize(used + count);
        place(used);
    }

private:
    void place(std::size_t used) {
        at = out_.data() + used;
        end = out_.data() + out_.size();
    }
    std::string& out_;
};

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

// Formatted text straight into a caller's room, with the count of bytes put.
class Direct {
public:
    explicit Direct(FormatRoom& room) : room_(room) {}
    void put(char c) {
        if (room_.at == room_.end) room_.more(1);
        *room_.at++ = c;
        ++produced_;
    }
    void put(const char* text, std::size_t length) {
        if (static_cast<std::size_t>(room_.end - room_.at) < length) room_.more(length);
        std::memcpy(room_.at, text, length);
        room_.at += length;
        produced_ += length;
    }
    template <class T>
    void put_number(T value) {
        if (room_.end - room_.at < 24) room_.more(24);
        char* const start = room_.at;
        room_.at = std::to_chars(start, room_.end, value).ptr;
        produced_ += static_cast<std::size_t>(room_.at - start);
    }
    std::size_t produced() const { return produced_; }

private:
    FormatRoom& room_;
    std::size_t produced_ = 0;
};

// One pass over the format, for the conversions done here. False at the first
// other conversion: the caller takes back what was put and hands the whole
// format to the C library.
template <class Out>
bool format_simple(Out& text, const char* format, va_list args) {
    for (const char* p = format;;) {
        const char* percent = strchrnul(p, '%');
        text.put(p, static_cast<std::size_t>(percent - p));
        if (*percent == '\0') return true;
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
            return false;
        }
    }
}

}  // namespace

void append_vformat(std::string& out, const char* format, va_list args) {
    va_list again;
    va_copy(again, args);
    const std::size_t start = out.size();
    Gathered text(out);
    if (format_simple(text, format, args)) {
        text.spill();
    } else {
        out.resize(start);
        StringTail tail(out);
        vformat_whole_into(tail, format, again);
    }
    va_end(again);
}

bool vformat_simple_into(FormatRoom& room, const char* format, va_list args) {
    Direct text(room);
    if (format_simple(text, format, args)) return true;
    room.at -= text.produced();
    return false;
}

void vformat_whole_into(FormatRoom& room, const char* format, va_list args) {
    va_list count;
    va_copy(count, args);
    const int length = std::vsnprintf(nullptr, 0, format, count);
    va_end(count);
    if (length <= 0) return;
    const auto size = static_cast<std::size_t>(length);
    if (static_cast<std::size_t>(room.end - room.at) < size + 1) room.more(size + 1);
    std::vsnprintf(room.at, size + 1, format, args);
    room.at += size;
}

void append_format(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    append_vformat(out, format, args);
    va_end(args);
}

}  // namespace zv
