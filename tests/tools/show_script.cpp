// "tokens" and "tree": the script front end's token stream (with mode changes)
// and syntax tree, for testing and debugging the lexer and the parser alone.
#include "show.h"

#include "diagnostics/report.h"
#include "script/lexer.h"
#include "script/parse_script.h"
#include "script/parse_state.h"
#include "script/tree_dump.h"
#include "script_parser.hpp"

#include <chrono>
#include <cstdio>
#include <string>

namespace zv::inspect {
namespace {

struct Options {
    std::string script;
    std::vector<std::string> include_dirs;
    bool keep_comments = true;
    bool positions = true;
};

bool parse_options(const std::vector<std::string>& args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-I" && i + 1 < args.size()) options.include_dirs.push_back(args[++i]);
        else if (args[i] == "-NOCOMMENT") options.keep_comments = false;
        else if (args[i] == "--no-positions") options.positions = false;
        else if (options.script.empty()) options.script = args[i];
        else return false;
    }
    if (options.script.empty()) {
        std::fprintf(stderr, "usage: zv_inspect tokens|tree [-I dir] [-NOCOMMENT] [--no-positions] <script>\n");
        return false;
    }
    return true;
}

// One line per token: position, kind, text; a mode change is shown after the
// token that caused it. An INCLUDE line switches files as the parser would.
int print_tokens(const std::vector<std::string>& args) {
    Options options;
    if (!parse_options(args, options)) return 2;
    ScriptLexer lexer(options.include_dirs);
    if (!lexer.open_main(options.script)) reportFatalText(Code::FICNOTOPN, options.script.c_str());
    LexMode mode = lexer.mode();
    int before_last = 0, last = 0;
    std::string include_name;
    for (;;) {
        const int token = lexer.next_token();
        const Position at = lexer.position();
        std::printf("%s:%d %s %s", at.file ? at.file : "", at.line, token_name(token), quoted_text(lexer.text()).c_str());
        if (token == 0) {
            std::printf("\n");
            break;
        }
        if (lexer.mode() != mode) {
            mode = lexer.mode();
            std::printf(" -> %s", lex_mode_name(mode));
        }
        std::printf("\n");
        if (last == T_INCLUDE && token == T_STRING) include_name = lexer.text();
        if (before_last == T_INCLUDE && last == T_STRING && token == T_NEWLINE) lexer.open_include(include_name);
        before_last = last;
        last = token;
    }
    return 0;
}

int print_tree(const std::vector<std::string>& args) {
    Options options;
    if (!parse_options(args, options)) return 2;
    ParseResult result = parse_script(options.script, options.include_dirs, options.keep_comments);
    std::fputs(dump_tree(result.root, options.positions).c_str(), stdout);
    std::printf("comm_model %u\n", number(result.comm_model));
    for (const ScriptFileRecord& file : result.files) {
        std::printf("file %d %s length %ld crc %04x key %ld base %s\n", file.index, file.name.c_str(), file.length,
                    file.checksum, file.identity_key, file.base_name.c_str());
    }
    std::printf("errors %u\n", errorCount());
    return errorCount() ? 5 : 0;
}

// Parses and reports counts and time only: the benchmark's view of a run.
int parse_only(const std::vector<std::string>& args) {
    Options options;
    if (!parse_options(args, options)) return 2;
    const auto start = std::chrono::steady_clock::now();
    ParseResult result = parse_script(options.script, options.include_dirs, options.keep_comments);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("nodes %zu files %zu errors %u parse %.3f s\n", result.tree->node_count(), result.files.size(),
                errorCount(), seconds);
    return errorCount() ? 5 : 0;
}

const InspectCommand kTokens("tokens", "print a script's tokens: position, kind, text, mode changes", print_tokens);
const InspectCommand kParse("parse", "parse a script and print node count and parse time", parse_only);
const InspectCommand kTree("tree", "print a script's syntax tree: kind numbers, texts, positions", print_tree);

}  // namespace
}  // namespace zv::inspect
