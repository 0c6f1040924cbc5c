// Header level of the walk: built-in declarations, the program entry, the
// instance mode, and the declarations written before the first scenario.
#include "semantic/walk.h"

#include "native/native_analyser.h"

namespace zv::semantic {

void Walk::declare_builtins() {
    std::string text =
        "long WTIME;\n"
        "int KVR_NOTMATCHED_1(int);\n"
        "int KVR_MATCHED_1(int);\n"
        "int KVR_MATCHING_1(int);\n"
        "int KVR_NOTMATCHING_1(int);\n"
        "int KVR_NOTMATCHED_2(int,int);\n"
        "int KVR_MATCHED_2(int,int);\n"
        "int KVR_MATCHING_2(int,int);\n"
        "int KVR_NOTMATCHING_2(int,int);\n"
        "unsigned long KVR_TIMEOUT;\n"
        "unsigned long TIME(unsigned long timer);\n";
    for (const char* letter : {"I", "J"})
        for (int i = 0; i <= 20; ++i) text += "int " + std::string(letter) + std::to_string(i) + ";\n";
    text +=
        "#define NIL 0\n"
        "void *NONIL;\n"
        "int KVR_OCCID;\n"
        "int KVR_NUMINSTANCE;\n";
    declare_c(text, Position{});
}

void Walk::create_program(const Node* header) {
    expect_node(header, N_HEADER);
    Entry* program = append(tables_.root(), E_PROGRAM, header_value_text(header->first_value()),
                            header->start);
    auto* d = tables_.attach_descriptor<ProgramDescriptor>(program, D_PROGRAM);
    d->second = pooled(header_value_text(header->second_value()));
    d->third = pooled(header_value_text(header->third_value()));
}

void Walk::choose_instance_mode(const Node* declarations) {
    const std::string& wanted = options_.instance;
    bool declared = false, found = false;
    int count = 0;
    for (const Node* item = declarations; item; item = item->next_line()) {
        const Node* instances = item->instance_part();
        if (!instances || instances->kind != N_DECLARE_INSTANCE) continue;
        declared = true;
        for (const Node* names = instances->names(); names; names = names->next()) {
            ++count;
            if (!wanted.empty() && wanted == names->item()->text) {
                selected_position_ = count;
                found = true;
            }
        }
    }
    if (wanted.empty()) {
        instance_mode_ = declared ? InstanceMode::AllDeclared : InstanceMode::NoInstances;
    } else if (found) {
        instance_mode_ = InstanceMode::SelectedDeclared;
    } else {
        instance_mode_ = InstanceMode::SelectedUndeclared;
        reportText(Severity::Information, Code::ISTNOPLAN, wanted.c_str());
    }
}

void Walk::walk_header(const Node* declarations) {
    for (const Node* item = declarations; item; item = item->next_line()) {
        expect_node(item, N_DECLARATIONS);
        if (item->declaration()) {
            header_declaration(item->declaration());
            continue;
        }
        flush_pending_c_text();
        const Node* instances = item->instance_part();
        if (!instances) continue;
        if (instances->kind == N_DECLARE_INSTANCE) on_declare_instance(instances);
        else on_header_instance_block(instances);
    }
    flush_pending_c_text();
}

// One header-level declaration. Native declaration lines collect in the
// pending text, which any other item hands over first.
void Walk::header_declaration(const Node* node) {
    Scope* root = tables_.root();
    instruction_at_ = node->start;
    if (node->kind == N_HASH_LINE) {
        const Position at = node->start;
        append(root, E_C_LINE, node->text, at);
        if (pending_c_text_.empty()) pending_at_ = at;
        else pending_c_text_ += '\n';
        pending_c_text_ += node->text;
        return;
    }
    flush_pending_c_text();
    switch (node->kind) {
        case N_EMPTY: case N_INCLUDE:
            return;
        case N_AT_LINE:
            on_c_statement(node, root, nullptr);
            return;
        case N_PROC:
            on_procedure(node);
            return;
        case N_TIMER:
            on_timer(node, root, nullptr);
            return;
        case N_FORMAT:
            on_format(node, false);
            return;
        case N_CATCH:
            on_catch(node);
            return;
        case N_SHARE:
            on_share(node);
            return;
        case N_TRIGGER: case N_COMMTYPE: case N_CHANNEL: case N_MESSAGE: case N_CALLBACK:
        case N_VIRTUAL_CALLBACK: case N_PROCSEND: case N_VIRTUAL_PROCSEND:
            on_comm_declaration(node);
            return;
        default:
            expect_node(node, N_HASH_LINE);
    }
}

void Walk::flush_pending_c_text() {
    if (pending_c_text_.empty()) return;
    const std::string text = std::move(pending_c_text_);
    pending_c_text_.clear();
    declare_c(text, pending_at_);
}

void Walk::on_declare_instance(const Node* node) {
    for (const Node* names = node->names(); names; names = names->next()) {
        const Node* name = names->item();
        if (tables_.find_in_root(E_INSTANCE, name->text)) {
            report_at(Severity::Error, Code::ISTNALRDEC, name->text, name->start);
            return;  // the rest of this list is skipped
        }
        Entry* instance = append(tables_.root(), E_INSTANCE, name->text, name->start);
        tables_.attach_descriptor<InstanceDescriptor>(instance, D_INSTANCE)->number = next_instance_number_++;
    }
}

// An INSTANCE block of header declarations: entries and references only
// without -INSTANCE; with it, the contents count only for the named instance.
void Walk::on_header_instance_block(const Node* node) {
    expect_node(node, N_INSTANCE_BLOCK);
    const Position at = node->start;
    instance_depth_.open();
    if (instance_depth_.depth() > 1) report_at(Severity::Fatal, Code::ISTBADLVL, "", at);
    const bool with_entries = options_.instance.empty();
    if (with_entries) {
        append_unnamed(tables_.root(), E_HEADER_INSTANCE_BEGIN, at);
        instance_references(node->names(), tables_.root());
    }
    if (with_entries || names_selected_instance(node->names())) {
        for (const Node* line = node->instance_lines(); line; line = line->next_line()) {
            expect_node(line, N_INSTANCE_BODY);
            if (line->declaration()) header_declaration(line->declaration());
        }
        flush_pending_c_text();
    }
    if (with_entries) append_unnamed(tables_.root(), E_HEADER_INSTANCE_END, line_before(node));
    instance_depth_.close();
}

}  // namespace zv::semantic
