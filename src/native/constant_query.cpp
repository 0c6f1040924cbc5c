#include "native/constant_query.h"

#include "native/c_analyser.h"
#include "native/c_parser.h"

namespace zv::native {

bool expression_is_constant(NativeAnalyser& facade, const std::string& text, const std::string& scope_name) {
    CAnalyser& analyser = c_analyser(facade);
    analyser.symbols().set_scope(scope_name);
    const auto tree = analyser.parse_expression_tokens(analyser.preprocess_tokens(text), true);
    return tree && tree->root && tree->root->is_constant;
}

}  // namespace zv::native
