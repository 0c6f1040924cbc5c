// Values of variables: VAR with its INIT, EV and VA clauses, FORMAT, and the
// check of a value against its variable shared with DEF_MESSAGE and the
// default value lists of message types, with the value entry trees it records.
#include "semantic/walk.h"

#include "native/native_analyser.h"
#include "semantic/value_match.h"
#include "semantic/value_syntax.h"

#include <cctype>

namespace zv::semantic {

namespace {

constexpr const char* kWorkVariable = "kvr_msgrcv";

// Longer values are not kept.
constexpr std::size_t kKeptTextLength = 256;

std::size_t element_count(const std::vector<MatchedElement>& elements) {
    std::size_t count = elements.size();
    for (const MatchedElement& e : elements) count += element_count(e.children);
    return count;
}

// The key of a value written with decimal numbers, string and character
// literals, signs, brackets and the value notation only (no name, so no
// macro and no variable: it reads the same in every scope); empty for any
// other value.
std::string literal_value_key(std::string_view text, ValueUse use, bool work_variable) {
    if (text.size() > kKeptTextLength) return {};
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            for (++i; i < text.size() && text[i] != c; ++i)
                if (text[i] == '\\') ++i;
            if (i >= text.size()) return {};
            continue;
        }
        if ((c >= '0' && c <= '9') || std::string_view(" \t{}[](),.=>+-").find(c) != std::string_view::npos) continue;
        return {};
    }
    std::string key(text);
    key += '\0';
    key += static_cast<char>('0' + static_cast<int>(use));
    key += work_variable ? '1' : '0';
    return key;
}

// The first identifier of an expression text ("ev" in "ev.id"), or empty.
std::string first_identifier(const std::string& text) {
    auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    std::size_t a = 0;
    while (a < text.size() && !word(text[a])) ++a;
    std::size_t b = a;
    while (b < text.size() && word(text[b])) ++b;
    const std::string id = text.substr(a, b - a);
    return is_identifier(id) ? id : std::string();
}

const char* pooled_or_null(const std::optional<std::string>& text) { return text ? pooled(*text) : nullptr; }

bool opens_group(ElementKind kind) {
    return kind == ElementKind::Structure || kind == ElementKind::Union || kind == ElementKind::Array;
}

void record_elements(SemanticTables& tables, const std::vector<MatchedElement>& elements, Scope* into,
                     const Position& at) {
    for (const MatchedElement& m : elements) {
        const char* field = m.field.empty() ? nullptr : pooled(m.field);
        Entry* entry = tables.append_entry(into, E_VALUE_ELEMENT, field, at.file, at.file_index, at.line, nullptr);
        auto* d = tables.attach_descriptor<ValueElementDescriptor>(entry, D_VALUE_ELEMENT);
        d->kind = m.kind;
        d->field = field;
        d->indexed = m.indexed;
        d->first = m.first;
        d->last = m.last;
        d->union_field = m.union_field;
        d->value = pooled_or_null(m.value);
        d->upper = pooled_or_null(m.upper);
        d->interval = m.interval;
        d->type_class = m.type_class;
        d->size = m.size;
        if (opens_group(m.kind)) record_elements(tables, m.children, tables.new_scope(d, into), at);
    }
}

void copy_elements(SemanticTables& tables, const Scope* from, Scope* into) {
    for (const Entry* e = from ? from->first : nullptr; e; e = e->next) {
        Entry* copy = tables.append_entry(into, e->kind, e->name, e->file, e->file_index, e->line, e->filter);
        const auto* original = static_cast<const ValueElementDescriptor*>(e->descriptor);
        auto* d = tables.attach_descriptor<ValueElementDescriptor>(copy, D_VALUE_ELEMENT);
        *d = *original;
        d->entry = copy;
        d->sub_scope = nullptr;
        if (original->sub_scope) copy_elements(tables, original->sub_scope, tables.new_scope(d, into));
    }
}

}  // namespace

Entry* Walk::check_value(const std::string& variable, const std::string& value_text, ValueUse use,
                         const Position& at, Scope* into, const char* filter, const std::string& type_name) {
    return check_value_as(variable, variable, value_text, use, at, into, filter, type_name);
}

Entry* Walk::check_value_as(const std::string& name, const std::string& typing, const std::string& value_text,
                            ValueUse use, const Position& at, Scope* into, const char* filter,
                            const std::string& type_name) {
    auto wrong = [&]() -> Entry* {
        report_at(Severity::Error, Code::VARNOGOOD, name, at);
        return nullptr;
    };
    const bool work_variable = use == ValueUse::Defaults && name == kWorkVariable;
    ValueMatcher matcher(native_, c_scope_, at, name, use, work_variable);
    // The value read and its expressions typed. A message of the
    // preprocessor (a macro given the wrong number of arguments, say) makes
    // the value wrong as one of the parser does.
    std::optional<Value> value;
    auto read_value = [&] {
        const unsigned errors = errorCount(), warnings = warningCount();
        const std::string preprocessed = preprocessed_text(value_text, at);
        if (errorCount() != errors || warningCount() != warnings) return false;
        value = parse_value(preprocessed);
        return value && value->kind != Value::Kind::Empty && matcher.type_expressions(*value);
    };
    // A value of literals read once without a message reads so again: it is
    // read here only when its elements for the type are not kept.
    const std::string key = literal_value_key(value_text, use, work_variable);
    const bool read_before = !key.empty() && clean_values_.count(key);
    bool clean = read_before;
    if (!read_before) {
        const unsigned errors = errorCount(), warnings = warningCount();
        if (!read_value()) return wrong();
        clean = !key.empty() && errorCount() == errors && warningCount() == warnings;
        if (clean && clean_values_.size() < kKeptValues) clean_values_.insert(key);
    }

    native::NativeType type;
    if (!type_name.empty()) {
        type = native_.type_by_name(type_name, c_scope_);
    } else if (!typing.empty()) {
        const std::string variable = is_identifier(typing) ? typing : "(" + typing + ")";
        type = native::value_expression(native_, variable, c_scope_, at.file ? at.file : "", at.line).type;
    }
    if (!type) return wrong();

    auto root = [&] {
        Entry* entry = append(into, E_VALUE, name, at, filter);
        auto* d = tables_.attach_descriptor<ValueDescriptor>(entry, D_VALUE);
        d->use = use;
        d->layout = layout_of(type);
        tables_.new_scope(d, into);
        return entry;
    };
    std::string typed_key;
    if (clean) {
        typed_key = key;
        const void* identity = type.identity();
        typed_key.append(reinterpret_cast<const char*>(&identity), sizeof identity);
    }
    if (read_before) {
        if (const auto kept = value_elements_.find(typed_key); kept != value_elements_.end()) {
            Entry* entry = root();
            record_elements(tables_, kept->second, entry->descriptor->sub_scope, at);
            return entry;
        }
        read_value();  // as the first time: without a message
    }
    // A value whose notation is wrong stays, without elements.
    if (!matcher.check_notation(*value)) return root();
    const unsigned errors = errorCount(), warnings = warningCount();
    const auto elements = matcher.match(*value, type);
    if (!elements) return wrong();
    Entry* entry = root();
    record_elements(tables_, *elements, entry->descriptor->sub_scope, at);
    matcher.report_deferred();
    if (!typed_key.empty() && errorCount() == errors && warningCount() == warnings &&
        value_elements_.size() < kKeptValues) {
        const std::size_t count = element_count(*elements);
        if (kept_elements_ + count <= kKeptElements) {
            kept_elements_ += count;
            value_elements_.emplace(std::move(typed_key), *elements);
        }
    }
    return entry;
}

Entry* Walk::copy_value(const Entry* root, Scope* into, std::string_view name, ValueUse use) {
    const std::string text(name);
    Entry* entry = tables_.append_entry(into, E_VALUE, text.c_str(), root->file, root->file_index, root->line,
                                        root->filter);
    auto* d = tables_.attach_descriptor<ValueDescriptor>(entry, D_VALUE);
    d->use = use;
    if (root->descriptor && root->descriptor->code == D_VALUE)
        d->layout = static_cast<const ValueDescriptor*>(root->descriptor)->layout;
    copy_elements(tables_, root->descriptor ? root->descriptor->sub_scope : nullptr, tables_.new_scope(d, into));
    return entry;
}

const TypeLayoutNode* Walk::layout_of(const native::NativeType& type) {
    if (!type) return nullptr;
    if (auto known = layouts_.find(type.identity()); known != layouts_.end()) return known->second;
    TypeLayoutNode* node = tables_.new_layout_node();
    layouts_.emplace(type.identity(), node);
    using Shape = native::NativeType::Shape;
    static_assert(static_cast<int>(Shape::Array) == static_cast<int>(LayoutRef::Shape::Array) &&
                  static_cast<int>(Shape::Union) == static_cast<int>(LayoutRef::Shape::Union));
    const Shape shape = type.shape();
    node->type_class = type.type_class();
    node->shape = static_cast<int>(shape);
    if (shape == Shape::Array) {
        node->count = type.count();
        node->element = layout_of(type.element());
    } else if (shape == Shape::Structure || shape == Shape::Union) {
        for (const native::NativeField& f : type.fields()) node->fields.emplace_back(f.name, layout_of(f.type));
    }
    return node;
}

void Walk::on_var(const Node* node, Scope* scope, const char* filter) {
    const Position at = node->start;
    const ExpressionTexts texts = translate(node->expression(), true);
    const std::string name = trimmed(texts.c);
    const std::string typing = trimmed(texts.typing);
    if (const std::string id = first_identifier(name); !id.empty())
        if (Entry* event = tables_.find_message_variable(id)) event->used = true;

    const Node* clause = node->value();
    if (!clause) expect_node(clause, N_EXPECTED_VALUE);
    ValueUse use = ValueUse::Expected;
    std::string value;
    switch (clause->kind) {
        case N_INIT_VALUE:
            use = ValueUse::Initial;
            [[fallthrough]];
        case N_EXPECTED_VALUE: {
            // The clause keeps its keyword: the value follows the first "=".
            const std::string_view text = clause->text ? clause->text : "";
            const std::size_t equals = text.find('=');
            if (equals != std::string_view::npos) value = std::string(text.substr(equals + 1));
            break;
        }
        case N_EV_EQUALS:
            value = "(" + name + ")";
            break;
        default:
            expect_node(clause, N_EXPECTED_VALUE);
    }
    check_value_as(name, typing, value, use, at, scope, filter, {});
}

void Walk::on_format(const Node* node, bool inside_block) {
    const Node* head = node->format_head();
    expect_node(head, N_FORMAT_HEAD);
    const Position at = node->start;
    native_.set_format(head->text ? head->text : "", expression_text(node->value()), c_scope_, inside_block,
                       at.file ? at.file : "", at.line);
}

}  // namespace zv::semantic
