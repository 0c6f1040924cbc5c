// Helpers of the interface-analysis tests: a scratch directory for headers,
// message capture, and token texts joined by single blanks.
#pragma once

#include "diagnostics/message_catalog.h"
#include "native/c_lexer.h"
#include "native/c_token.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace zv::native::testing_support {

inline std::string joined(const TokenList& tokens) {
    std::string out;
    for (const Token& t : tokens) {
        if (!out.empty()) out += ' ';
        out.append(t.text, t.length);
    }
    return out;
}

// The tokens of a C text, joined the same way (for expectations written as C).
inline std::string tokens_of(const std::string& text) {
    TokenList tokens;
    lex_text(text, 0, 1, tokens, LexOptions{}, {});
    return joined(tokens);
}

// A directory of its own for one test, removed afterwards.
class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/zv_native_XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }
    std::string write(const std::string& name, const std::string& text) const {
        const std::string full = path_ + "/" + name;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full) << text;
        return full;
    }

private:
    std::string path_;
};

class CapturedMessages {
public:
    CapturedMessages() { ::testing::internal::CaptureStderr(); }
    std::string text() { return done_ ? text_ : (done_ = true, text_ = ::testing::internal::GetCapturedStderr()); }
    ~CapturedMessages() { text(); }

private:
    bool done_ = false;
    std::string text_;
};

}  // namespace zv::native::testing_support
