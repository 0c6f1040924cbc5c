// Execution filters written before an instruction, the SET and UNSET filter
// instructions, and the trace instructions kept or dropped by the trace level.
#include "semantic/walk.h"

namespace zv::semantic {

namespace {

bool bad_filter_letters(std::string_view letters) {
    if (letters.empty()) return false;
    if (letters.front() == '+' || letters.back() == '+' || letters.back() == '~') return true;
    for (std::size_t i = 0; i + 1 < letters.size(); ++i) {
        if (letters[i] == '+' && letters[i + 1] == '+') return true;
        if (letters[i] == '~' && (letters[i + 1] == '+' || letters[i + 1] == '~')) return true;
    }
    return false;
}

}  // namespace

// The stored text: the letters of a single filter, "%" and the letters of a
// double one. It is kept whatever the check finds.
const char* Walk::filter_text(const Node* filter) {
    if (!filter) return nullptr;
    if (filter->kind != N_FILTER && filter->kind != N_DOUBLE_FILTER) expect_node(filter, N_FILTER);
    std::string_view text = filter->text ? filter->text : "";
    std::string_view letters = text;
    if (filter->kind == N_DOUBLE_FILTER && !letters.empty() && letters.front() == '%') letters.remove_prefix(1);
    if (bad_filter_letters(letters)) report_at(Severity::Error, Code::BADFLTSTX, text, filter->start);
    return pooled(text);
}

void Walk::on_filter_letters(const Node* node, Scope* scope, const char* filter) {
    const Node* quoted = node->letters();
    expect_node(quoted, N_STRING);
    std::string_view letters = quoted->text ? quoted->text : "";
    if (letters.size() >= 2) letters = letters.substr(1, letters.size() - 2);
    else letters = {};
    const Position at = node->start;
    for (char c : letters)
        if (c < 'A' || c > 'Z') report_at(Severity::Error, Code::BADLETFLT, std::string_view(&c, 1), at);
    Entry* entry = append(scope, node->kind == N_SET ? E_SET : E_UNSET, letters, at, filter);
    tables_.attach_descriptor<FilterLettersDescriptor>(entry, D_FILTER_LETTERS)->letters = pooled(letters);
}

void Walk::on_trace(const Node* node, Scope* scope, const char* filter) {
    if (options_.trace != TraceLevel::Circular) {
        if (node->kind == N_TRACE_ON) ++dropped_trace_on_;
        else if (node->kind == N_TRACE_OFF) ++dropped_trace_off_;
        else ++dropped_flush_trace_;
        return;
    }
    const Position at = node->start;
    if (node->kind == N_FLUSH_TRACE) {
        const Entry* owner = scope->owner ? scope->owner->entry : nullptr;
        if (owner && (owner->kind == E_CALLBACK || owner->kind == E_PROCSEND)) {
            report_at(Severity::Error, Code::FTINCBPS, "", at);
            return;
        }
    }
    const int kind = node->kind == N_TRACE_ON ? E_TRACE_ON : node->kind == N_TRACE_OFF ? E_TRACE_OFF : E_FLUSH_TRACE;
    append_unnamed(scope, kind, at, filter);
}

void Walk::report_dropped_trace() {
    if (dropped_trace_on_) reportText(Severity::Information, Code::IGNEDTRON, "");
    if (dropped_trace_off_) reportText(Severity::Information, Code::IGNEDTROF, "");
    if (dropped_flush_trace_) reportText(Severity::Information, Code::IGNEDFTRC, "");
}

}  // namespace zv::semantic
