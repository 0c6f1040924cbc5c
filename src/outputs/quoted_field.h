// The quoted field of the side outputs read by the report tools (TDC and
// report-structure records): the bytes between double quotes, each inner
// double quote doubled. A line break would split the record for every
// reader, so it is written as a blank.
#pragma once

#include <string>
#include <string_view>

namespace zv {

// Gives `text` as it stands between the quotes of a field to `put`, in
// pieces: runs of plain characters, and what stands for each other one.
template <class Put>
void quoted_body(std::string_view text, Put&& put) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '"' && c != '\n' && c != '\r') continue;
        put(text.substr(run, i - run));
        put(c == '"' ? std::string_view("\"\"") : std::string_view(" "));
        run = i + 1;
    }
    put(text.substr(run));
}

// Appends `text` as it stands between the quotes of a field.
inline void append_quoted_body(std::string& out, std::string_view text) {
    quoted_body(text, [&out](std::string_view piece) { out += piece; });
}

inline void append_quoted_field(std::string& out, std::string_view text) {
    out += '"';
    append_quoted_body(out, text);
    out += '"';
}

inline std::string quoted_field(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    append_quoted_field(out, text);
    return out;
}

}  // namespace zv
