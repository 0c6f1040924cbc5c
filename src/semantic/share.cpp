// SHARE: a static variable of the script's C declarations shared with the
// generated code. Anything else (a type, a variable that is not static, an
// unknown name) is refused under NOTSTATIC, a code without a text.
#include "semantic/walk.h"

#include "native/native_analyser.h"

namespace zv::semantic {

void Walk::on_share(const Node* node) {
    const Node* name = node->name();
    expect_node(name, N_IDENT);
    std::string_view text = name->text;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    const std::string variable(text);
    if (native_.share_class(variable, c_scope_) == native::ShareClass::StaticVariable)
        append(tables_.root(), E_SHARED, variable, node->start);
    else
        report_at(Severity::Error, Code::NOTSTATIC, variable, node->start);
}

}  // namespace zv::semantic
