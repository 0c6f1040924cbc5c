#include "codegen/c_text.h"

#include <cstdio>

namespace zv {

std::string c_string_body(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            // "??" followed by some characters is a trigraph in strict C.
            case '?': out += out.size() && out.back() == '?' ? "\\?" : "?"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                    char octal[8];
                    std::snprintf(octal, sizeof octal, "\\%03o", static_cast<unsigned char>(c));
                    out += octal;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string c_comment_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '/' && !out.empty() && out.back() == '*') out += ' ';
        out += c == '\n' || c == '\r' ? ' ' : c;
    }
    return out;
}

}  // namespace zv
