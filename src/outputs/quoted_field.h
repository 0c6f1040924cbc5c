// The quoted field of the side outputs read by the report tools (TDC and
// report-structure records): the bytes between double quotes, each inner
// double quote doubled. A line break would split the record for every
// reader, so it is written as a blank.
#pragma once

#include <string>
#include <string_view>

namespace zv {

inline std::string quoted_field(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    if (text.find_first_of("\"\n\r") == std::string_view::npos) {
        out += text;
        out += '"';
        return out;
    }
    for (char c : text) {
        if (c == '"') out += '"';
        out += c == '\n' || c == '\r' ? ' ' : c;
    }
    out += '"';
    return out;
}

}  // namespace zv
