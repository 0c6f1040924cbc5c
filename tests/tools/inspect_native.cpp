// "native-tokens", "native-decls" and "native-expr": the interface analysis on
// its own. Options: -I<dir> (include directory), -D<item> (define), -K (K&R),
// -S<file> (standard-defines file); the remaining arguments are headers.
#include "inspect.h"

#include "native/native_analyser.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace zv::inspect {
namespace {

struct Setup {
    std::unique_ptr<native::NativeAnalyser> analyser;
    std::vector<std::string> rest;
};

Setup set_up(const std::vector<std::string>& args) {
    std::vector<std::string> dirs, defines;
    int restriction = 2;
    std::string std_define;
    Setup s;
    for (const std::string& a : args) {
        if (a.rfind("-I", 0) == 0) dirs.push_back(a.substr(2));
        else if (a.rfind("-D", 0) == 0) defines.push_back(a.substr(2));
        else if (a == "-K") restriction = 0;
        else if (a.rfind("-S", 0) == 0) std_define = a.substr(2);
        else s.rest.push_back(a);
    }
    s.analyser = native::native_setup(restriction, dirs, defines);
    if (!std_define.empty()) s.analyser->analyse_file(std_define, true);
    return s;
}

// One token per line, so that two streams compare token by token.
int print_tokens(const std::vector<std::string>& args) {
    Setup s = set_up(args);
    for (const std::string& file : s.rest) {
        for (const native::Token& t : s.analyser->preprocess_file(file)) std::printf("%.*s\n", static_cast<int>(t.length), t.text);
    }
    return 0;
}

const InspectCommand kTokens("native-tokens", "[-Idir] [-Ditem] [-K] [-Sdefs] header...: preprocessed tokens, one a line",
                             print_tokens);

}  // namespace
}  // namespace zv::inspect
