// Helpers shared by the script front-end tests: a scratch directory that the
// test runs in, token streams in a compact text form, parses with captured
// diagnostics.
#pragma once

#include "diagnostics/message_catalog.h"
#include "diagnostics/report.h"
#include "script/lexer.h"
#include "script/parse_script.h"
#include "script/parse_state.h"
#include "script/tree_dump.h"
#include "script_parser.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace zv::test {

// A fresh directory, made the working directory for the test's lifetime.
class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/zv_script_XXXXXX";
        path_ = ::mkdtemp(pattern);
        char old[4096];
        old_ = ::getcwd(old, sizeof old) ? old : "/";
        if (::chdir(path_.c_str()) != 0) ADD_FAILURE() << "chdir " << path_;
    }
    ~ScratchDir() {
        if (::chdir(old_.c_str()) != 0) ADD_FAILURE() << "chdir back";
        std::system(("rm -rf '" + path_ + "'").c_str());
    }
    void write(const std::string& name, const std::string& content) const {
        const std::size_t slash = name.rfind('/');
        if (slash != std::string::npos) std::system(("mkdir -p '" + name.substr(0, slash) + "'").c_str());
        std::ofstream(name, std::ios::binary) << content;
    }
    const std::string& path() const { return path_; }

private:
    std::string path_, old_;
};

inline bool shows_text(int token) {
    switch (token) {
        case T_IDENT: case T_QUALIFIED_IDENT: case T_NUMBER: case T_STRING: case T_CHAR_CONST:
        case T_ENV_VAR: case T_NATIVE_EXPR: case T_HASH_LINE: case T_AT_LINE: case T_FILTER:
        case T_DOUBLE_FILTER: case T_COMMENT: case T_FORMAT: case T_INIT_VALUE: case T_EXPECTED_VALUE:
        case T_EV_EQUALS: case T_UNKNOWN_CHAR:
            return true;
        default:
            return false;
    }
}

// Which line a token stream shows before each token: none, the lexer's line
// after the token, or the line on which the token's logical line begins.
enum class TokenLines { None, Current, Start };

// The token stream of a script as "KIND KIND'text' ...", NEWLINE as "NL";
// with `lines`, each token is prefixed by a line number and a colon.
inline std::string token_stream(const std::string& script, TokenLines lines = TokenLines::None,
                                bool texts = true) {
    ScratchDir dir;
    dir.write("t.zod", script);
    ScriptLexer lexer({});
    if (!lexer.open_main("t.zod")) return "<cannot open>";
    std::string out;
    for (int token; (token = lexer.next_token()) != 0;) {
        if (!out.empty()) out += ' ';
        if (lines == TokenLines::Current) out += std::to_string(lexer.current_line()) + ':';
        if (lines == TokenLines::Start) out += std::to_string(lexer.token_start().line) + ':';
        out += token == T_NEWLINE ? "NL" : token_name(token);
        if (texts && shows_text(token)) {
            const std::string quoted = quoted_text(lexer.text());
            out += '\'' + quoted.substr(1, quoted.size() - 2) + '\'';
        }
    }
    return out;
}

struct Parsed {
    std::string tree;       // dump without positions
    std::string messages;   // standard error of the parse
    unsigned errors = 0;    // errors counted by this parse
    ParseResult result;
};

// Parses `main` (already written in the current directory).
inline Parsed parse_file(const std::string& main, const std::vector<std::string>& dirs = {}, bool keep_comments = true,
                         bool dump = true) {
    registerMessageCatalog();
    Parsed parsed;
    const unsigned before = errorCount();
    testing::internal::CaptureStderr();
    parsed.result = parse_script(main, dirs, keep_comments);
    parsed.messages = testing::internal::GetCapturedStderr();
    parsed.errors = errorCount() - before;
    // The dump indents by depth: right-leaning chains of a long script make it
    // grow with the square of their length.
    if (dump) parsed.tree = dump_tree(parsed.result.root, false);
    return parsed;
}

// Parses without capturing standard error: for death tests, whose child
// process has its own capture of the output.
inline void parse_quiet(const std::string& main, const std::vector<std::string>& dirs = {}) {
    registerMessageCatalog();
    parse_script(main, dirs, true);
}

}  // namespace zv::test
