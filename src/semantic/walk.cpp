#include "semantic/walk.h"

#include "common/string_pool.h"
#include "native/native_analyser.h"

namespace zv::semantic {

Position line_before(const Node* node) {
    Position at = node->position();
    if (at.line > 1) --at.line;
    return at;
}

const char* construct_name(const Node* node) {
    const char* name = node_kind_name(node->kind);
    return name && name[0] == 'N' && name[1] == '_' ? name + 2 : "?";
}

std::string trimmed(std::string_view text) {
    const std::size_t a = text.find_first_not_of(" \t\r\n");
    if (a == std::string_view::npos) return {};
    const std::size_t b = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(a, b - a + 1));
}

const char* pooled(std::string_view text) { return string_pool().intern(text); }

void report_at(Severity severity, Code code, std::string_view arg, const Position& at) {
    reportAtText(severity, code, std::string(arg).c_str(), at.file, at.line);
}

// ---------------------------------------------------------------- the walk

void Walk::run(const Node* script, SemanticModel& model) {
    expect_node(script, N_SCRIPT);
    begin(script->header(), script->declarations());
    walk_scenario_items(script->scenario_items(), tables_.root(), nullptr);
    end(model);
}

void Walk::run_fed(const Node* header, const Node* declarations, ItemFeed& feed, SemanticModel& model) {
    begin(header, declarations);
    // The outermost scenario holds every item; until the parse ends, a
    // stand-in for it, whose list of items is the feed.
    Node name, family, items, body, scenario, list;
    name.kind = N_IDENT;
    family.kind = N_EMPTY;
    items.kind = N_SCENARIO_ITEMS;
    body.kind = N_SCENARIO_BODY;
    body.child2 = &family;
    body.child3 = &items;
    scenario.kind = N_SCENARIO;
    scenario.child1 = &name;
    scenario.child2 = &body;
    list.kind = N_SCENARIO_ITEMS;
    list.child1 = &scenario;
    feed_ = &feed;
    fed_items_ = &items;
    fed_scenario_ = &scenario;
    walk_scenario_items(&list, tables_.root(), nullptr);
    // Its place is where the parse ended.
    const Node* outermost = feed.outermost();
    if (fed_entry_ && outermost && fed_entry_->descriptor && fed_entry_->descriptor->code == D_SCENARIO)
        place_scenario(fed_entry_, static_cast<ScenarioDescriptor*>(fed_entry_->descriptor), outermost);
    feed_ = nullptr;
    fed_items_ = fed_scenario_ = nullptr;
    end(model);
}

void Walk::begin(const Node* header, const Node* declarations) {
    declare_builtins();
    create_program(header);
    if (options_.comm_model == CommModel::Trigger) create_implicit_comm_type(header->start);
    choose_instance_mode(declarations);
    walk_header(declarations);
}

void Walk::end(SemanticModel& model) {
    report_dropped_trace();
    report_unused_procedures();
    report_missing_def_message();

    model.root = tables_.root();
    model.instance_mode = instance_mode_;
    model.selected_position = selected_position_;
    model.timer_count = timer_count_;
    model.message_type_count = next_message_type_;
    model.highest_channel = highest_channel_;
    model.def_message_count = next_def_message_ - 1;
    model.wait_count = next_waittil_;
    model.temporary_count = next_temporary_;
    model.comm_type_count = next_comm_type_;
}

// ---------------------------------------------------------------- entries

// Entry names are copied by the tables; no need to pool them first.
Entry* Walk::append(Scope* scope, int kind, std::string_view name, const Position& at, const char* filter) {
    return tables_.append_entry(scope, kind, std::string(name).c_str(), at.file, at.file_index, at.line, filter);
}

Entry* Walk::append_unnamed(Scope* scope, int kind, const Position& at, const char* filter) {
    return tables_.append_entry(scope, kind, nullptr, at.file, at.file_index, at.line, filter);
}

namespace {

bool owns_executable_block(const Scope* scope) {
    if (!scope->owner || !scope->owner->entry) return false;
    switch (scope->owner->entry->kind) {
        case E_SCENARIO: case E_PROCEDURE: case E_INITIALIZATION: case E_TERMINATION: case E_EXCEPTION:
        case E_CALLBACK: case E_PROCSEND:
            return true;
        default:
            return false;
    }
}

}  // namespace

Entry* Walk::prepend_executable(Scope* scope, int kind, std::string_view name, const Position& at) {
    while (scope->parent && !owns_executable_block(scope)) scope = scope->parent;
    return tables_.prepend_entry(scope, kind, std::string(name).c_str(), at.file, at.line, nullptr, at.file_index);
}

Scope* Walk::field_scope(Descriptor* owner, Scope* parent) {
    Scope* scope = tables_.new_scope(nullptr, parent);
    scope->owner = owner;  // no back link: the owner's own block stays its sub-scope
    return scope;
}

// ---------------------------------------------------------------- interface analysis

void Walk::declare_c(const std::string& text, const Position& at) {
    const std::string file = at.file ? at.file : "";
    native_.set_position(file, at.line, c_scope_);
    const auto preprocessed = native_.preprocess(text);
    if (preprocessed) native_.declare(*preprocessed, c_scope_, file, at.line);
}

void Walk::close_c_scope(const std::string& name) { native_.close_scope(name); }

bool Walk::declared_in_c_scope(const std::string& name) { return native_.declared_in_scope(name, c_scope_); }

int Walk::type_class_of(const std::string& text, const Position& at) {
    return native::expression_type_class(native_, text, c_scope_, at.file ? at.file : "", at.line).type_class;
}

std::string Walk::preprocessed_text(const std::string& text, const Position& at) {
    native_.set_position(at.file ? at.file : "", at.line, c_scope_);
    return native_.preprocess_inline(text);
}

std::string Walk::expression_text(const Node* expression) { return translate(expression, true).c; }

}  // namespace zv::semantic
