// Fuzz target of the C analysis. An input is a header text, then optionally
// "\n@@\n" and C expressions, one a line: the header is preprocessed and its
// declarations registered as those of a script's C text, then each
// expression is typed in that scope the ways the semantic analysis asks.
// A fatal end (an #include that cannot be read, runaway expansion) returns
// here and is no finding.
#include "fuzz_support.h"
#include "native/native_analyser.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

void analyse(std::string_view header, std::string_view expressions) {
    zv::native::AnalyserOptions options;
    // The bound is reached the same way at a sixty-fourth of the compiler's;
    // the inputs that reach it stay cheap enough for the fuzzer to go on.
    options.expansion_limit = std::size_t{1} << 16;
    auto analyser = zv::native::analyse_interfaces(options);
    analyser->set_position("h.h", 1, "");
    if (const auto text = analyser->preprocess(std::string(header))) analyser->declare(*text, "", "h.h", 1);
    int line = 1;
    for (const std::string_view expression : zv::fuzz::sections(expressions, "\n", 8)) {
        const std::string e(expression);
        ++line;
        zv::native::expression_type_class(*analyser, e, "", "e.zod", line);
        zv::native::expression_type_texts(*analyser, e, "", "e.zod", line);
        zv::native::value_expression(*analyser, e, "", "e.zod", line);
        zv::native::expression_is_constant(*analyser, e, "", "e.zod", line);
        analyser->type_by_name(e, "");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = zv::fuzz::sections(std::string_view(reinterpret_cast<const char*>(data), size), "\n@@\n", 2);
    zv::fuzz::fresh_state();
    zv::fuzz::until_run_end([&] { analyse(parts[0], parts.size() > 1 ? parts[1] : std::string_view()); });
    return 0;
}
