// Helpers of the interface-analysis tests: an analyser set up in one call and
// its symbols looked up directly, a scratch directory for headers, message
// capture, and token texts joined by single blanks.
#pragma once

#include "diagnostics/message_catalog.h"
#include "native/c_analyser.h"
#include "native/c_lexer.h"
#include "native/c_token.h"
#include "native/native_analyser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace zv::native {

// The reference target directory and its standard-defines file.
inline const std::string kTarget = std::string(ZV_SOURCE_DIR) + "/target";
inline const std::string kDefines = kTarget + "/lib/linux_x86_64.def";

// An analyser with its search path and defines, no file read yet.
inline std::unique_ptr<NativeAnalyser> native_setup(Restriction restriction, const std::vector<std::string>& include_dirs,
                                                    const std::vector<std::string>& defines) {
    AnalyserOptions options;
    options.restriction = restriction;
    options.include_dirs = include_dirs;
    options.defines = defines;
    return std::make_unique<NativeAnalyser>(options);
}

// The declaration of a variable or function visible in a scope, or null.
inline const Symbol* native_variable(NativeAnalyser& analyser, const std::string& name, const std::string& scope_name) {
    return c_analyser(analyser).variable(name, scope_name);
}

}  // namespace zv::native

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
