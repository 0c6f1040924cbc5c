#include "codegen/value_lines.h"

#include "codegen/emitter.h"
#include "diagnostics/report.h"
#include "model/semantic_model.h"
#include "native/type_class.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <vector>

namespace zv {

namespace {

using Shape = LayoutRef::Shape;

constexpr const char* kReceived = "kvr_msgrcv";
constexpr const char* kContext = "&(kvr_ctx->kvr_ctxrun)";
// A whole structured value is spread over its scalar fields; a type whose
// levels each hold several copies of the next grows that exponentially, so
// the spreading of one value stops after this many fields and levels.
constexpr long kMaxFieldLines = 1L << 17;

const ValueElementDescriptor* element_of(const Entry* e) {
    if (!e || e->kind != E_VALUE_ELEMENT || !e->descriptor || e->descriptor->code != D_VALUE_ELEMENT) return nullptr;
    return static_cast<const ValueElementDescriptor*>(e->descriptor);
}

bool is_identifier(const std::string& text) {
    return !text.empty() && !std::isdigit(static_cast<unsigned char>(text[0])) &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

std::string index_name(int depth) { return "I" + std::to_string(depth); }

// An element of a group with the C type it stands for and, inside a
// structure or union, the position of its field.
struct Placed {
    const Entry* entry;
    const ValueElementDescriptor* d;
    LayoutRef type;
    std::size_t field = 0;    // in a structure or union
    long long count = -1;     // of the enclosing array, for an index interval
};

class Walker {
public:
    Walker(Emitter& out, const ValueWalk& walk) : out_(out), w_(walk), markers_(writes_markers(walk.mode)) {}

    void root() {
        const Scope* scope = w_.root && w_.root->descriptor ? w_.root->descriptor->sub_scope : nullptr;
        for (const Entry* e = scope ? scope->first : nullptr; e; e = e->next)
            if (const ValueElementDescriptor* d = element_of(e)) element({e, d, w_.type, 0, -1}, "", 0);
    }

private:
    // ------------------------------------------------------------- tree

    // The elements of a group, each with its type; those whose type cannot
    // be told are left out.
    std::vector<Placed> placed(const Entry* group, const LayoutRef& type) const {
        std::vector<Placed> out;
        const Scope* scope = group->descriptor ? group->descriptor->sub_scope : nullptr;
        const Shape shape = type.shape();
        static const decltype(TypeLayoutNode::fields) kNoFields;
        const auto& fields = shape == Shape::Structure || shape == Shape::Union ? type.node()->fields : kNoFields;
        const std::size_t count = fields.size();
        std::size_t cursor = 0;
        for (const Entry* e = scope ? scope->first : nullptr; e; e = e->next) {
            prefetch_next(e);
            const ValueElementDescriptor* d = element_of(e);
            if (!d) continue;
            if (shape == Shape::Array) {
                if (d->indexed) out.push_back({e, d, type.element(), 0, type.count()});
                continue;
            }
            // Fields come in declaration order; an unnamed one is an
            // anonymous member.
            const std::string_view name = d->field ? d->field : "";
            std::size_t at = std::min(cursor, count);
            while (at < count && fields[at].first != name) ++at;
            if (at == count)
                for (at = 0; at < count && fields[at].first != name;) ++at;
            if (at == count) continue;
            cursor = at + 1;
            out.push_back({e, d, LayoutRef(fields[at].second), at, -1});
        }
        return out;
    }

    // ".name" after a structure or union, nothing for an anonymous member.
    static std::string member_step(const LayoutField& f) {
        std::string step;
        if (!f.name.empty()) {
            step += '.';
            step += f.name;
        }
        return step;
    }

    static std::string field_path(const std::string& path, const ValueElementDescriptor& d) {
        return d.field && *d.field ? path + "." + d.field : path;
    }

    void element(const Placed& p, const std::string& path, int depth) {
        if (!p.type) return;
        const ValueElementDescriptor& d = *p.d;
        const int code = p.entry->event_code, end = p.entry->end_code;
        if (d.indexed) return slice(p, path, depth);
        const std::string own = field_path(path, d);
        switch (d.kind) {
            case ElementKind::Structure:
                marker("varstruct", code);
                for (const Placed& c : placed(p.entry, p.type)) element(c, own, depth);
                marker("varstruct", end);
                return;
            case ElementKind::Union:
                marker("varstruct", code);
                union_members(p, own, depth);
                marker("varstruct", end);
                return;
            case ElementKind::Array: {
                marker("vartab", code);
                const std::string indexed = own + "[" + index_name(depth + 1) + "]";
                for (const Placed& c : placed(p.entry, p.type)) element(c, indexed, depth + 1);
                marker("vartab", end);
                return;
            }
            default: leaf(p, own, code, depth, -1);
        }
    }

    // An index interval of the array at `depth`: its loop, with the element
    // or its contents inside. An interval that lies outside the array, as
    // an OTHERS that covers nothing may, writes nothing.
    void slice(const Placed& p, const std::string& path, int depth) {
        const ValueElementDescriptor& d = *p.d;
        const long long first = std::max(d.first, 0LL), last = std::min(d.last, p.count - 1);
        if (first > last) return;
        if (markers_) {
            out_.appendf("kvr_varplage ( %s,%d, %lld, %lld );", kContext, p.entry->event_code, first, last);
            out_.emit_line();
        }
        const bool group = d.kind == ElementKind::Structure || d.kind == ElementKind::Union || d.kind == ElementKind::Array;
        if (!group && markers_) out_.emit_line(std::string("kvr_varreset (") + kContext + ");");
        loop(depth, first, last);
        out_.open_block();
        switch (d.kind) {
            case ElementKind::Structure:
                for (const Placed& c : placed(p.entry, p.type)) element(c, path, depth);
                break;
            case ElementKind::Union: union_members(p, path, depth); break;
            case ElementKind::Array: {
                const std::string indexed = path + "[" + index_name(depth + 1) + "]";
                for (const Placed& c : placed(p.entry, p.type)) element(c, indexed, depth + 1);
                break;
            }
            default: leaf(p, path, p.entry->event_code + 1, depth, last);
        }
        out_.close_block();
        if (markers_) {
            out_.appendf("kvr_varplage ( %s,%d, -1, -1 );", kContext, p.entry->end_code);
            out_.emit_line();
        }
    }

    void loop(int depth, long long first, long long last) {
        const std::string i = index_name(depth);
        if (first == last) {
            out_.emit_line(i + " = " + std::to_string(first) + ";");
        } else {
            out_.emit_line("for(" + i + " = " + std::to_string(first) + "; " + i + " <= " + std::to_string(last) +
                           "; ++" + i + ")");
        }
    }

    void marker(const char* name, int code) {
        if (!markers_) return;
        out_.appendf("kvr_%s ( %s,%d );", name, kContext, code);
        out_.emit_line();
    }

    // A union's given member, checked against the received message's selector
    // in a comparison; every member under a switch over it in a message dump.
    void union_members(const Placed& p, const std::string& path, int depth) {
        const std::vector<Placed> members = placed(p.entry, p.type);
        const bool selected = !w_.message_type.empty();
        if (selected && w_.mode == ValueMode::MessageDump) {
            out_.emit_line("switch (" + selector(path) + ")");
            out_.open_block();
            const std::size_t count = p.type.node()->fields.size();
            for (std::size_t n = 0; n < count; ++n) {
                out_.emit_line("case " + std::to_string(n) + ":");
                out_.open_block();
                for (const Placed& m : members)
                    if (m.field == n) element(m, path, depth);
                out_.emit_line("break;");
                out_.close_block();
            }
            out_.close_block();
        } else if (selected && w_.mode == ValueMode::Compare) {
            out_.emit_line("if (" + selector(path) + "==" + std::to_string(p.d->union_field) + ")");
            out_.open_block();
            for (const Placed& m : members) element(m, path, depth);
            out_.close_block();
            out_.emit_line("else");
            out_.open_block();
            out_.emit_line(std::string("kvr_setflagrt ( ") + kContext + " );");
            out_.close_block();
        } else {
            for (const Placed& m : members) element(m, path, depth);
        }
    }

    // The member number of the union at `path` in the received message, kept
    // in the selection record beside it.
    std::string selector(const std::string& path) const { return "KVR_" + w_.message_type + path + ".select"; }

    // ------------------------------------------------------------- fields

    void leaf(const Placed& p, const std::string& path, int code, int depth, long long bound) {
        const ValueElementDescriptor& d = *p.d;
        if (d.kind == ElementKind::Whole) {
            whole(p.type, path, reference(d.value ? d.value : ""), code, depth, bound);
            return;
        }
        FieldLine f = field(p.type, path, code, depth, bound);
        if (d.type_class == native::kNonNil && (f.type_code == native::kPointer || f.type_code == native::kCharPointer))
            f.type_code = native::kNonNil;
        if (d.interval) {
            if (d.value) f.lower = d.value;
            if (d.upper) f.upper = d.upper;
            const auto lines = range_lines(f);
            if (!lines) {
                reportAtText(Severity::Internal, Code::RANGENOTA, "", w_.root->file, w_.root->line);
                return;
            }
            for (const std::string& line : *lines) out_.emit_line(line);
            return;
        }
        // The received message given for itself stands for the same field of it.
        const std::string value = d.value ? d.value : "";
        f.value = value == kReceived ? kReceived + path : value;
        out_.emit_line(scalar_line(f));
    }

    FieldLine field(const LayoutRef& type, const std::string& path, int code, int depth, long long bound) {
        FieldLine f;
        f.mode = w_.mode;
        f.event_code = code;
        f.type_code = type.type_class();
        f.display_format = w_.display_format;
        f.target = w_.target + path;
        f.depth = depth;
        f.bound = bound;
        return f;
    }

    static std::string reference(const std::string& value) { return is_identifier(value) ? value : "(" + value + ")"; }

    // A structured value given whole: field by field along its type, the
    // expected value reached by the same path from the value given.
    void whole(const LayoutRef& type, const std::string& path, const std::string& ref, int code, int depth,
               long long bound) {
        if (budget_exhausted()) return;
        const Shape shape = type.shape();
        if (w_.mode == ValueMode::Assign && shape == Shape::Structure) {
            out_.emit_line(w_.target + path + " = " + ref + ";");
            return;
        }
        if (w_.mode == ValueMode::Assign && shape == Shape::Union) {
            out_.emit_line(std::string("kvr_assign_union ( ") + kContext + "," + w_.target + path + "," + ref + " );");
            return;
        }
        switch (shape) {
            case Shape::Structure:
                for (const LayoutField& f : type.fields()) {
                    const std::string step = member_step(f);
                    whole(f.type(), path + step, ref + step, code, depth, -1);
                }
                return;
            case Shape::Union: whole_union(type, path, ref, code, depth); return;
            case Shape::Array:
                if (type.type_class() != native::kCharArray) {
                    const long long count = type.count();
                    if (count <= 0) return;
                    const std::string step = "[" + index_name(depth + 1) + "]";
                    loop(depth + 1, 0, count - 1);
                    out_.open_block();
                    whole(type.element(), path + step, ref + step, code, depth + 1, count - 1);
                    out_.close_block();
                    return;
                }
                break;
            case Shape::Scalar: break;
            case Shape::None: return;
        }
        FieldLine f = field(type, path, code, depth, bound);
        f.value = ref;
        out_.emit_line(scalar_line(f));
    }

    // The member of a whole union that the received message selected, in
    // the message functions; its first member elsewhere.
    void whole_union(const LayoutRef& type, const std::string& path, const std::string& ref, int code, int depth) {
        const std::vector<LayoutField> fields = type.fields();
        if (fields.empty()) return;
        auto member = [&](const LayoutField& f) {
            const std::string step = member_step(f);
            whole(f.type(), path + step, ref + step, code, depth, -1);
        };
        if (w_.message_type.empty() || (w_.mode != ValueMode::Compare && w_.mode != ValueMode::MessageDump)) {
            member(fields.front());
            return;
        }
        out_.emit_line("switch (" + selector(path) + ")");
        out_.open_block();
        for (std::size_t n = 0; n < fields.size(); ++n) {
            out_.emit_line("case " + std::to_string(n) + ":");
            out_.open_block();
            member(fields[n]);
            out_.emit_line("break;");
            out_.close_block();
        }
        out_.close_block();
    }

    bool budget_exhausted() {
        if (++lines_ <= kMaxFieldLines) return false;
        if (lines_ == kMaxFieldLines + 1)
            reportAtText(Severity::Error, Code::VARNOGOOD, w_.root->name ? w_.root->name : "", w_.root->file,
                         w_.root->line);
        return true;
    }

    Emitter& out_;
    const ValueWalk& w_;
    bool markers_;
    long lines_ = 0;
};

}  // namespace

namespace {

LayoutRef layout_of(const Entry* root) {
    const auto* d = root && root->descriptor && root->descriptor->code == D_VALUE
                        ? static_cast<const ValueDescriptor*>(root->descriptor)
                        : nullptr;
    return LayoutRef(d ? d->layout : nullptr);
}

}  // namespace

ValueWalk variable_walk(const Entry* root, ValueMode mode) {
    ValueWalk walk;
    walk.mode = mode;
    walk.root = root;
    // Fields are reached from the variable as from a primary expression.
    const std::string name = root && root->name ? root->name : "";
    walk.target = is_identifier(name) ? name : "(" + name + ")";
    if (!name.empty()) walk.type = layout_of(root);
    return walk;
}

ValueWalk message_walk(const Entry* root, const std::string& message_type, ValueMode mode) {
    ValueWalk walk;
    walk.mode = mode;
    walk.root = root;
    walk.target = kReceived;
    walk.message_type = message_type;
    walk.type = layout_of(root);
    return walk;
}

void write_value_lines(Emitter& out, const ValueWalk& walk) {
    if (!walk.root) return;
    const int code = walk.root->event_code, end = walk.root->end_code;
    switch (walk.mode) {
        case ValueMode::Display:
            out.appendf("kvr_var_va ( %s,%d );", kContext, code);
            out.emit_line();
            Walker(out, walk).root();
            out.appendf("kvr_flagrt = kvr_end_var_va ( %s,%d );", kContext, end);
            out.emit_line();
            out.emit_line("if (kvr_flagrt != 0)");
            out.open_block();
            out.emit_ifdef("KVR_KESTRUN_DEBUG");
            out.emit_line("kvr_debug_state = 1;");
            out.emit_else();
            out.emit_return("1");
            out.emit_endif();
            out.close_block();
            return;
        case ValueMode::ReferenceDump:
        case ValueMode::MessageDump:
            out.appendf("kvr_var ( %s,%d );", kContext, code);
            out.emit_line();
            Walker(out, walk).root();
            out.appendf("kvr_var ( %s,%d );", kContext, end);
            out.emit_line();
            return;
        case ValueMode::Assign:
        case ValueMode::Compare: Walker(out, walk).root(); return;
    }
}

}  // namespace zv
