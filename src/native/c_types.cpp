#include "native/c_types.h"

#include <algorithm>
#include <climits>

namespace zv::native {

namespace {

const char* basic_name(TypeKind kind) {
    switch (kind) {
    case TypeKind::Void: return "void";
    case TypeKind::Bool: return "_Bool";
    case TypeKind::Char: return "char";
    case TypeKind::SChar: return "signed char";
    case TypeKind::UChar: return "unsigned char";
    case TypeKind::Short: return "short";
    case TypeKind::UShort: return "unsigned short";
    case TypeKind::Int: return "int";
    case TypeKind::UInt: return "unsigned int";
    case TypeKind::Long: return "long";
    case TypeKind::ULong: return "unsigned long";
    case TypeKind::LongLong: return "long long";
    case TypeKind::ULongLong: return "unsigned long long";
    case TypeKind::Int128: return "__int128";
    case TypeKind::UInt128: return "unsigned __int128";
    case TypeKind::Float: return "float";
    case TypeKind::Double: return "double";
    case TypeKind::LongDouble: return "long double";
    case TypeKind::Float32: return "_Float32";
    case TypeKind::Float64: return "_Float64";
    case TypeKind::Float32x: return "_Float32x";
    case TypeKind::Float64x: return "_Float64x";
    case TypeKind::Float128: return "_Float128";
    case TypeKind::VaList: return "__builtin_va_list";
    default: return "";
    }
}

long long round_up(long long value, long long align) { return align <= 1 ? value : (value + align - 1) / align * align; }

std::string quals_text(std::uint8_t q) {
    std::string s;
    if (q & kConst) s += "const ";
    if (q & kVolatile) s += "volatile ";
    if (q & kRestrict) s += "restrict ";
    if (q & kAtomic) s += "_Atomic ";
    return s;
}

std::string text_with(const Type* t, const std::string& inner) {
    if (!t) return inner.empty() ? "int" : "int " + inner;
    auto join = [&](std::string specs) { return inner.empty() ? specs : specs + " " + inner; };
    switch (t->kind) {
    case TypeKind::Pointer: {
        std::string s = "*";
        if (t->quals) {
            std::string q = quals_text(t->quals);
            q.pop_back();
            s += " " + q;
            if (!inner.empty()) s += " ";
        }
        s += inner;
        if (t->base && (t->base->kind == TypeKind::Array || t->base->kind == TypeKind::Function)) s = "(" + s + ")";
        return text_with(t->base, s);
    }
    case TypeKind::Array:
        return text_with(t->base, inner + "[" + (t->count >= 0 ? std::to_string(t->count) : std::string()) + "]");
    case TypeKind::Function: {
        std::string p;
        for (std::size_t i = 0; i < t->params.size(); ++i) {
            if (i) p += ", ";
            p += text_with(t->params[i].type, "");
        }
        if (t->variadic) p += p.empty() ? "..." : ", ...";
        if (p.empty() && t->prototype) p = "void";
        return text_with(t->base, inner + "(" + p + ")");
    }
    case TypeKind::Typedef: return join(quals_text(t->quals) + t->name);
    case TypeKind::Enum:
    case TypeKind::Struct:
    case TypeKind::Union: {
        const char* word = t->kind == TypeKind::Enum ? "enum " : t->kind == TypeKind::Struct ? "struct " : "union ";
        return join(quals_text(t->quals) + word + (t->record && t->record->tag ? t->record->tag : "<anonymous>"));
    }
    default:
        return join(quals_text(t->quals) + (t->is_complex ? "_Complex " : "") + basic_name(t->kind));
    }
}

}  // namespace

TypeTable::TypeTable() {
    for (int k = 0; k <= static_cast<int>(TypeKind::VaList); ++k) {
        Type t;
        t.kind = static_cast<TypeKind>(k);
        basic_[k] = make(t);
    }
}

Type* TypeTable::make(Type t) {
    Type* stored = types_.next();
    *stored = std::move(t);
    return stored;
}

Record* TypeTable::make_record(TypeKind kind, const char* tag) {
    Record* r = records_.next();
    r->kind = kind;
    r->tag = tag;
    return r;
}

const Type* TypeTable::complex_of(TypeKind kind) {
    Type t;
    t.kind = kind;
    t.is_complex = true;
    return make(t);
}

TypeTable::Derived& TypeTable::free_or_same(const Derived& key) {
    std::uint64_t h = reinterpret_cast<std::uintptr_t>(key.from) ^ (static_cast<std::uint64_t>(key.detail) << 3) ^
                      static_cast<std::uint64_t>(key.how);
    h *= 0x9e3779b97f4a7c15ull;
    const std::size_t mask = derived_.size() - 1;
    for (std::size_t at = (h >> 40) & mask;; at = (at + 1) & mask) {
        Derived& d = derived_[at];
        if (!d.type || (d.from == key.from && d.detail == key.detail && d.how == key.how)) return d;
    }
}

TypeTable::Derived& TypeTable::derived(Derivation how, const void* from, long long detail) {
    if ((derived_used_ + 1) * 2 > derived_.size()) {  // kept at most half full
        std::vector<Derived> old(derived_.empty() ? 1024 : derived_.size() * 2);
        old.swap(derived_);
        for (const Derived& d : old)
            if (d.type) free_or_same(d) = d;
    }
    Derived& d = free_or_same(Derived{from, detail, how, nullptr});
    if (!d.type) {
        d.from = from;
        d.detail = detail;
        d.how = how;
        ++derived_used_;  // the caller fills in the type
    }
    return d;
}

const Type* TypeTable::pointer_to(const Type* target) {
    Derived& d = derived(Derivation::Pointer, target, 0);
    if (!d.type) {
        Type t;
        t.kind = TypeKind::Pointer;
        t.base = target;
        d.type = make(t);
    }
    return d.type;
}

const Type* TypeTable::array_of(const Type* element, long long count) {
    Derived& d = derived(Derivation::Array, element, count);
    if (!d.type) {
        Type t;
        t.kind = TypeKind::Array;
        t.base = element;
        t.count = count;
        d.type = make(t);
    }
    return d.type;
}

const Type* TypeTable::qualified(const Type* type, std::uint8_t quals) {
    if (!type || (type->quals | quals) == type->quals) return type;
    Derived& d = derived(Derivation::Qualified, type, quals);
    if (!d.type) {
        Type t = *type;
        t.quals |= quals;
        d.type = make(t);
    }
    return d.type;
}

const Type* TypeTable::aligned(const Type* type, long long align) {
    if (!type || align <= 0) return type;
    Type t = *type;
    t.align = align;
    return make(t);
}

const Type* TypeTable::record_type(Record* record) {
    Derived& d = derived(Derivation::Record, record, 0);
    if (!d.type) {
        Type t;
        t.kind = record->kind;
        t.record = record;
        d.type = make(t);
    }
    return d.type;
}

const Type* resolve(const Type* type) {
    // A typedef made by a declaration knows where its chain ends: chains of
    // typedefs thousands long are resolved at once.
    if (type && type->kind == TypeKind::Typedef && type->target) return type->target;
    while (type && type->kind == TypeKind::Typedef) type = type->base;
    return type;
}

std::uint8_t qualifiers_of(const Type* type) {
    std::uint8_t q = 0;
    for (; type; type = type->kind == TypeKind::Typedef ? type->base : nullptr) q |= type->quals;
    return q;
}

bool is_integer(const Type* type) {
    type = resolve(type);
    if (!type || type->is_complex) return false;
    return (type->kind >= TypeKind::Bool && type->kind <= TypeKind::UInt128) || type->kind == TypeKind::Enum;
}

bool is_floating(const Type* type) {
    type = resolve(type);
    return type && type->kind >= TypeKind::Float && type->kind <= TypeKind::Float128;
}

bool is_arithmetic(const Type* type) { return is_integer(type) || is_floating(type); }

bool is_pointer_like(const Type* type) {
    type = resolve(type);
    return type && (type->kind == TypeKind::Pointer || type->kind == TypeKind::Array || type->kind == TypeKind::Function);
}

bool is_scalar(const Type* type) {
    const Type* r = resolve(type);
    return is_arithmetic(type) || (r && r->kind == TypeKind::Pointer);
}

bool is_unsigned(const Type* type) {
    type = resolve(type);
    if (!type) return false;
    switch (type->kind) {
    case TypeKind::Bool: case TypeKind::UChar: case TypeKind::UShort: case TypeKind::UInt: case TypeKind::ULong:
    case TypeKind::ULongLong: case TypeKind::UInt128: case TypeKind::Pointer:
        return true;
    case TypeKind::Enum: return type->record && type->record->enum_base && is_unsigned(type->record->enum_base);
    default: return false;
    }
}

long long size_of(const Type* type) {
    if (!type) return -1;
    switch (type->kind) {
    case TypeKind::Void: return 1;
    case TypeKind::Bool: case TypeKind::Char: case TypeKind::SChar: case TypeKind::UChar: return 1;
    case TypeKind::Short: case TypeKind::UShort: return 2;
    case TypeKind::Int: case TypeKind::UInt: return 4;
    case TypeKind::Long: case TypeKind::ULong: case TypeKind::LongLong: case TypeKind::ULongLong: return 8;
    case TypeKind::Int128: case TypeKind::UInt128: return 16;
    case TypeKind::Float: case TypeKind::Float32: return type->is_complex ? 8 : 4;
    case TypeKind::Double: case TypeKind::Float64: case TypeKind::Float32x: return type->is_complex ? 16 : 8;
    case TypeKind::LongDouble: case TypeKind::Float64x: case TypeKind::Float128: return type->is_complex ? 32 : 16;
    case TypeKind::Pointer: return 8;
    case TypeKind::VaList: return 24;
    case TypeKind::Function: return 1;
    case TypeKind::Array: {
        const long long element = size_of(type->base);
        if (type->count < 0 || element < 0) return -1;
        return element > 0 && type->count > LLONG_MAX / element ? -1 : type->count * element;  // too large: unknown
    }
    case TypeKind::Typedef: return size_of(type->base);
    case TypeKind::Enum:
        return type->record && type->record->enum_base ? size_of(type->record->enum_base) : 4;
    case TypeKind::Struct: case TypeKind::Union:
        return type->record && type->record->complete ? type->record->size : -1;
    }
    return -1;
}

bool is_complete(const Type* type) {
    type = resolve(type);
    if (!type) return false;
    switch (type->kind) {
    case TypeKind::Void: return false;
    case TypeKind::Array: return type->count >= 0 && is_complete(type->base);
    case TypeKind::Struct: case TypeKind::Union: return type->record && type->record->complete;
    case TypeKind::Enum: return !type->record || type->record->complete;
    default: return true;
    }
}

long long align_of(const Type* type) {
    if (!type) return 1;
    long long a = 1;
    switch (type->kind) {
    case TypeKind::Array: a = align_of(type->base); break;
    case TypeKind::Typedef: a = align_of(type->base); break;
    case TypeKind::Struct: case TypeKind::Union: a = type->record ? type->record->align : 1; break;
    case TypeKind::VaList: a = 8; break;
    case TypeKind::Function: case TypeKind::Void: a = 1; break;
    case TypeKind::Float: case TypeKind::Double: case TypeKind::LongDouble: case TypeKind::Float32:
    case TypeKind::Float64: case TypeKind::Float32x: case TypeKind::Float64x: case TypeKind::Float128:
        a = type->is_complex ? size_of(type) / 2 : size_of(type);
        break;
    default: a = std::max(1LL, size_of(type)); break;
    }
    return type->align > 0 ? std::max(type->align, type->kind == TypeKind::Typedef ? 1 : a) : a;
}

std::string type_text(const Type* type) { return text_with(type, ""); }

const Field* find_field(const Record& record, const char* name, long long& offset) {
    for (const Field& f : record.fields) {
        if (f.name == name) {
            offset += f.offset;
            return &f;
        }
    }
    for (const Field& f : record.fields) {
        if (f.name) continue;
        const Type* t = resolve(f.type);
        if (!t || !t->record) continue;
        long long inner = 0;
        if (const Field* found = find_field(*t->record, name, inner)) {
            offset += f.offset + inner;
            return found;
        }
    }
    return nullptr;
}

bool same_type(const Type* a, const Type* b) {
    a = resolve(a);
    b = resolve(b);
    if (a == b) return true;
    if (!a || !b || a->kind != b->kind || a->is_complex != b->is_complex) return false;
    switch (a->kind) {
    case TypeKind::Pointer:
        return qualifiers_of(a->base) == qualifiers_of(b->base) && same_type(a->base, b->base);
    case TypeKind::Array:
        return (a->count < 0 || b->count < 0 || a->count == b->count) && same_type(a->base, b->base);
    case TypeKind::Function:
        if (!same_type(a->base, b->base)) return false;
        if (!a->prototype || !b->prototype) return true;
        if (a->params.size() != b->params.size() || a->variadic != b->variadic) return false;
        for (std::size_t i = 0; i < a->params.size(); ++i)
            if (!same_type(a->params[i].type, b->params[i].type)) return false;
        return true;
    case TypeKind::Enum: case TypeKind::Struct: case TypeKind::Union:
        return a->record == b->record;
    default: return true;
    }
}

void lay_out(Record& record) {
    // Beyond this many bits a layout has no size; below it, offsets, rounding
    // and alignments (at most 2^28 bytes) cannot overflow.
    constexpr long long kLargestBits = LLONG_MAX / 16;
    long long bits = 0;  // next free bit
    long long align = 1;
    long long size_bits = 0;
    const bool is_union = record.kind == TypeKind::Union;
    for (Field& f : record.fields) {
        const long long field_size = std::max(0LL, size_of(f.type));
        if (field_size > kLargestBits / 8 - (bits + 7) / 8 - (1LL << 28)) {
            record.align = align;
            record.size = -1;  // too large: unknown
            record.complete = true;
            return;
        }
        // Packing overrides the alignment of the type, but not one given on the
        // member; a #pragma pack limit caps both, and lets bit-fields cross
        // the units of their type as packing does.
        const bool packed = record.packed || f.packed;
        long long field_align = packed ? std::max(1LL, f.align) : std::max(f.align, align_of(f.type));
        if (record.pack > 0) field_align = std::min(field_align, record.pack);
        const bool loose = packed || record.pack > 0;
        if (f.bit_width >= 0) {
            const long long unit = field_size * 8;
            long long start = is_union ? 0 : bits;
            if (f.bit_width == 0) {
                // aligns to its type even in a packed structure
                if (!is_union) bits = round_up(bits, std::max(f.align, align_of(f.type)) * 8);
                continue;
            }
            if (f.align > 0) start = round_up(start, field_align * 8);
            if (!loose && unit > 0 && (start % unit) + f.bit_width > unit) start = round_up(start, unit);
            const long long unit_start = unit > 0 && !loose ? start / unit * unit : start / 8 * 8;
            f.offset = unit_start / 8;
            f.bit_offset = static_cast<int>(start - unit_start);
            if (f.name && !packed) align = std::max(align, field_align);
            if (is_union) size_bits = std::max(size_bits, static_cast<long long>(f.bit_width));
            else bits = start + f.bit_width;
            continue;
        }
        align = std::max(align, field_align);
        if (is_union) {
            f.offset = 0;
            size_bits = std::max(size_bits, field_size * 8);
        } else {
            const long long byte = round_up((bits + 7) / 8, field_align);
            f.offset = byte;
            bits = (byte + field_size) * 8;
        }
    }
    if (!is_union) size_bits = bits;
    record.align = align;
    record.size = round_up((size_bits + 7) / 8, align);
    record.complete = true;
}

}  // namespace zv::native
