// The quoted field of the side outputs read by the report tools (TDC and
// report-structure records): the bytes between double quotes, each inner
// double quote doubled. A line break would split the record for every
// reader, so it is written as a blank.
#pragma once

#include <string>
#include <string_view>

namespace zv {

// Appends `text` as it stands between the quotes of a field.
inline void append_quoted_body(std::string& out, std::string_view text) {
    bool plain = true;
    for (char c : text) plain &= c != '"' && c != '\n' && c != '\r';
    if (plain) {
        out += text;
        return;
    }
    for (char c : text) {
        if (c == '"') out += '"';
        out += c == '\n' || c == '\r' ? ' ' : c;
    }
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
