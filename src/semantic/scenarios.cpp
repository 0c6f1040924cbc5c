// The scenario tree: full names, leaf flags, families, selection by -SCN,
// -EXSCN, -FAMILY, -EXFAMILY and -FAST, and the INITIALIZATION, TERMINATION
// and EXCEPTION blocks of each level.
#include "semantic/walk.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <unordered_set>

namespace zv::semantic {

struct Walk::ScenarioLevel {
    Scope* scope = nullptr;
    ScenarioDescriptor* parent = nullptr;  // null for the outermost scenario's level
    Entry* first_scenario = nullptr;
    std::unordered_set<std::string> names;
    bool seen_block[3] = {false, false, false};
    bool any_selected = false;
};

namespace {

bool listed(const std::vector<std::string>& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

// `name` continues `prefix` with "." after it.
bool below(std::string_view name, std::string_view prefix) {
    return name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix && name[prefix.size()] == '.';
}

// The number after LOOP, held to the range of an int.
int loop_count(const char* text) {
    const long long value = std::strtoll(text ? text : "0", nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, 0, std::numeric_limits<int>::max()));
}

}  // namespace

bool Walk::walk_scenario_items(const Node* items, Scope* scope, ScenarioDescriptor* parent) {
    ScenarioLevel level;
    level.scope = scope;
    level.parent = parent;
    const bool fed = items && items == fed_items_;
    for (; items; items = fed ? items : items->next()) {
        const Node* item = nullptr;
        if (fed) {
            item = feed_->next_item();
            if (!item) break;
        } else {
            expect_node(items, N_SCENARIO_ITEMS);
            item = items->item();
        }
        if (!item) continue;
        switch (item->kind) {
            case N_SCENARIO:
                instruction_marker_ = false;
                on_scenario(item, level);
                break;
            case N_INITIALIZATION: case N_TERMINATION: case N_EXCEPTION:
                instruction_marker_ = false;
                on_block_item(item, level);
                break;
            case N_INCLUDE:
                break;
            default:
                expect_node(item, N_SCENARIO);
        }
    }
    return level.any_selected;
}

void Walk::place_scenario(Entry* entry, ScenarioDescriptor* d, const Node* node) {
    const Position at = node->start;
    entry->file = at.file;
    entry->file_index = at.file_index;
    entry->line = at.line;
    d->file = at.file;
    d->header_line_minus_one = at.line - 1;
    d->end_line = line_before(node).line;
}

bool Walk::path_selected(const std::string& full_name) const {
    if (full_name.empty()) return true;
    if (!options_.scenarios.empty()) {
        for (const std::string& wanted : options_.scenarios)
            if (full_name == wanted || below(wanted, full_name) || below(full_name, wanted)) return true;
        return false;
    }
    for (const std::string& excluded : options_.excluded_scenarios)
        if (full_name == excluded || below(full_name, excluded)) return false;
    return true;
}

// Family entries of one scenario and the family part of its selection. The
// order of the names matters: -EXFAMILY can only clear the flag, -FAMILY sets
// it again for a later name.
bool Walk::family_selected(const Node* families, Scope* family_scope) {
    const bool family_given = !options_.families.empty();
    bool flag = !family_given;
    std::unordered_set<std::string> seen;
    for (const Node* names = families; names; names = names->next()) {
        expect_node(names, N_FAMILY_NAMES);
        const Node* name = names->item();
        if (!seen.insert(name->text).second) {
            report_at(Severity::Warning, Code::FNAMNOTUS, name->text, name->start);
            continue;
        }
        append(family_scope, E_FAMILY, name->text, name->start);
        if (flag || !family_given) {
            if (listed(options_.excluded_families, name->text)) flag = false;
        } else {
            flag = listed(options_.families, name->text);
        }
    }
    return flag;
}

void Walk::on_scenario(const Node* node, ScenarioLevel& level) {
    const Node* name = node->name();
    const Node* body = node->scenario_body();
    expect_node(name, N_IDENT);
    expect_node(body, N_SCENARIO_BODY);
    const std::string own = name->text ? name->text : "";
    const Position at = node->start;
    if (!level.names.insert(own).second) report_at(Severity::Error, Code::SCENALREX, own, at);

    Entry* entry = append(level.scope, E_SCENARIO, own, at);
    if (!level.first_scenario) level.first_scenario = entry;
    if (node == fed_scenario_) fed_entry_ = entry;
    auto* d = tables_.attach_descriptor<ScenarioDescriptor>(entry, D_SCENARIO);
    d->parent = level.parent;
    if (level.parent) level.parent->leaf = false;
    // The scenario's C scope is its full name: within a scenario the C scope
    // is the enclosing one's full name, and this name is added to it and
    // taken off again, so that a deep nest costs no copy per level.
    std::string outer;
    const std::size_t outer_size = c_scope_.size();
    if (level.parent) {
        if (!c_scope_.empty()) c_scope_ += '.';
        c_scope_ += own;
    } else {
        outer = std::move(c_scope_);
        c_scope_.clear();
    }
    auto leave = [&] {
        if (level.parent) c_scope_.resize(outer_size);
        else c_scope_ = std::move(outer);
    };
    const std::string& full = c_scope_;
    place_scenario(entry, d, node);
    d->loop_count = body->loop_count() ? loop_count(body->loop_count()->text) : 0;

    if (body->family() && body->family()->kind == N_FAMILY) {
        d->families = field_scope(d, level.scope);
        d->selected = family_selected(body->family()->names(), d->families) && path_selected(full);
    } else {
        d->selected = path_selected(full);
    }
    if (options_.fast && !d->selected) {
        leave();
        return;
    }

    Scope* inner = tables_.new_scope(d, level.scope);
    const Node* content = body->content();
    if (content && content->kind == N_SCENARIO_ITEMS) {
        const bool any = walk_scenario_items(content, inner, d);
        if (!any) d->selected = false;
        if (!d->selected && own.empty()) reportText(Severity::Error, Code::NOSCENGEN);
    } else {
        walk_body(content, inner);
    }
    close_c_scope(c_scope_);
    leave();
    if (d->selected) level.any_selected = true;
}

// INITIALIZATION, TERMINATION or EXCEPTION: a procedure with arguments, or
// an inline body with a C scope of its own. Inserted before the level's first
// sub-scenario.
void Walk::on_block_item(const Node* node, ScenarioLevel& level) {
    int index = 0, kind = E_INITIALIZATION;
    const char* suffix = "@init";
    if (node->kind == N_TERMINATION) index = 1, kind = E_TERMINATION, suffix = "@term";
    if (node->kind == N_EXCEPTION) index = 2, kind = E_EXCEPTION, suffix = "@excp";
    const Node* name = node->name();
    const Position at = node->start;
    instruction_at_ = at;

    if (level.seen_block[index]) {
        if (index == 0) report_at(Severity::Error, Code::TOOMCHINI, "", at);
        if (index == 1) report_at(Severity::Error, Code::TOOMCHTER, "", at);
        if (index == 2) report_at(Severity::Error, Code::TOOMCHEXC, "", at);
    }
    level.seen_block[index] = true;

    Entry* procedure = nullptr;
    if (name) {
        procedure = tables_.find_procedure(name->text);
        if (!procedure) {
            report_at(Severity::Error, Code::UNKCLPROC, name->text, at);
            return;
        }
        mark_used(procedure, true);
    }
    const char* entry_name = name ? name->text : nullptr;
    Entry* entry = level.first_scenario
                       ? tables_.insert_entry_before(level.first_scenario, kind, entry_name, at.file, at.file_index,
                                                     at.line, nullptr)
                       : tables_.append_entry(level.scope, kind, entry_name, at.file, at.file_index, at.line, nullptr);
    auto* d = tables_.attach_descriptor<BlockDescriptor>(entry, D_BLOCK);
    d->line = at.line;
    if (procedure) {
        d->procedure = procedure;
        d->arguments = field_scope(d, level.scope);
        check_procedure_arguments(procedure, node->procedure_arguments(), d->arguments, at);
        return;
    }
    Scope* inner = tables_.new_scope(d, level.scope);
    const std::string saved = c_scope_;
    c_scope_ = (level.parent ? c_scope_ : std::string()) + suffix;
    walk_body(node->block(), inner);
    close_c_scope(c_scope_);
    c_scope_ = saved;
}

}  // namespace zv::semantic
