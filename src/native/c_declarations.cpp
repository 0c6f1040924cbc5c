// Declarations: specifiers, declarators, structures, unions and enumerations,
// parameters, attributes and the registration of what is declared.
#include "common/string_pool.h"
#include "diagnostics/report.h"
#include "native/c_lexer.h"
#include "native/c_parser_internal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

namespace zv::native {

namespace {

// Keywords by pooled text: open addressing over the text pointers.
class KeywordTable {
public:
    KeywordTable() {
        auto& p = string_pool();
        // Order of the keyword enumeration in c_parser_internal.h.
        const char* const groups[][6] = {
            {"typedef"}, {"extern"}, {"static"}, {"auto"}, {"register"}, {"_Thread_local", "__thread"},
            {"inline", "__inline", "__inline__"}, {"_Noreturn"}, {"__attribute__", "__attribute"},
            {"asm", "__asm__", "__asm"}, {"__extension__"}, {"const", "__const", "__const__"},
            {"volatile", "__volatile", "__volatile__"}, {"restrict", "__restrict", "__restrict__"}, {"_Atomic"},
            {"void"}, {"char"}, {"short"}, {"int"}, {"long"}, {"float"}, {"double"},
            {"signed", "__signed", "__signed__"}, {"unsigned"}, {"_Bool"}, {"_Complex", "__complex__"},
            {"__int128"}, {"__float128"}, {"_Float32"}, {"_Float64"}, {"_Float32x"}, {"_Float64x"}, {"_Float128"},
            {"struct"}, {"union"}, {"enum"}, {"typeof", "__typeof__", "__typeof"}, {"__builtin_va_list"},
            {"_Alignas"}, {"_Alignof", "__alignof__", "__alignof"}, {"sizeof"}, {"_Static_assert"},
            {"__builtin_offsetof"}, {"__builtin_types_compatible_p"}, {"__builtin_va_arg"}, {"_Pragma"},
            {"_Generic"}, {"__auto_type"}};
        int kw = 1;
        for (const auto& group : groups) {
            for (const char* word : group) {
                if (!word) continue;
                Slot& slot = slots_[place(p.intern(word))];
                slot.text = p.intern(word);
                slot.kw = static_cast<std::uint8_t>(kw);
            }
            ++kw;
        }
    }
    // The keyword's number in the enumeration, 0 for any other word.
    std::uint8_t find(const char* pooled) const { return slots_[place(pooled)].kw; }

private:
    static constexpr std::size_t kSize = 512;  // a power of two, well above the number of words
    struct Slot {
        const char* text = nullptr;
        std::uint8_t kw = 0;
    };
    std::size_t place(const char* pooled) const {
        std::size_t at = static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(pooled) * 0x9e3779b97f4a7c15ull) >> 32) & (kSize - 1);
        while (slots_[at].text && slots_[at].text != pooled) at = (at + 1) & (kSize - 1);
        return at;
    }
    Slot slots_[kSize];
};

const KeywordTable& keyword_table() {
    static const KeywordTable table;
    return table;
}

}  // namespace

void build_pooled_keyword_table() { keyword_table(); }

namespace {

bool fits_int(long long value) { return value >= INT32_MIN && value <= INT32_MAX; }

}  // namespace

const TokenList& CParser::without_pragmas(const TokenList& tokens, TokenList& own,
                                         std::vector<std::pair<std::size_t, const char*>>& pragmas) {
    if (std::none_of(tokens.begin(), tokens.end(), [](const Token& t) { return t.flags & kPragma; })) return tokens;
    own.reserve(tokens.size());
    for (const Token& t : tokens) {
        if (t.flags & kPragma) pragmas.emplace_back(own.size(), t.text);
        else own.push_back(t);
    }
    return own;
}

void CParser::apply_pragmas(std::size_t before) {
    for (; next_pragma_ < pragmas_.size() && pragmas_[next_pragma_].first < before; ++next_pragma_)
        if (ctx_.pack) ctx_.pack->apply(pragmas_[next_pragma_].second);
}

void PackPragmas::apply(std::string_view pragma) {
    // Anything after the closing parenthesis is passed over.
    const std::size_t close = pragma.find(')');
    if (pragma.substr(0, 5) != "pack(" || close == std::string_view::npos) return;
    std::vector<std::string_view> args;
    const std::string_view inside = pragma.substr(5, close - 5);
    for (std::size_t start = 0; !inside.empty() && start <= inside.size();) {
        std::size_t comma = inside.find(',', start);
        if (comma == std::string_view::npos) comma = inside.size();
        args.push_back(inside.substr(start, comma - start));
        start = comma + 1;
    }
    const auto is_number = [](std::string_view text) { return !text.empty() && text[0] >= '0' && text[0] <= '9'; };
    // A limit is 0 (none) or a power of two up to 16, written as any integer
    // constant; -1: not a limit.
    const auto limit_of = [](std::string_view text) -> long long {
        const std::string digits(text);
        char* end = nullptr;
        errno = 0;
        const unsigned long long n = std::strtoull(digits.c_str(), &end, 0);
        if (errno != 0 || end == digits.c_str() || std::strspn(end, "uUlL") != std::strlen(end)) return -1;
        return n == 0 || n == 1 || n == 2 || n == 4 || n == 8 || n == 16 ? static_cast<long long>(n) : -1;
    };
    if (args.empty()) {
        limit_ = 0;
        return;
    }
    if (is_number(args[0])) {  // "pack(n)": nothing else may follow
        if (args.size() == 1 && limit_of(args[0]) >= 0) limit_ = limit_of(args[0]);
        return;
    }
    const bool push = args[0] == "push";
    if (!push && args[0] != "pop") return;
    // Then at most one name and, for "push", at most one limit, in any order;
    // a pragma of another form changes nothing.
    std::string_view name, number;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (!is_number(args[i]) && !args[i].empty() && name.empty()) name = args[i];
        else if (is_number(args[i]) && push && number.empty()) number = args[i];
        else return;
    }
    if (push) {
        const long long limit = number.empty() ? limit_ : limit_of(number);
        if (limit < 0) return;
        saved_.emplace_back(name, limit_);
        limit_ = limit;
        return;
    }
    if (saved_.empty()) return;
    // A name pops down to the limit saved with it; a name not saved pops one.
    auto it = saved_.end() - 1;
    if (!name.empty())
        for (auto k = saved_.rbegin(); k != saved_.rend(); ++k)
            if (k->first == name) {
                it = std::prev(k.base());
                break;
            }
    limit_ = it->second;
    saved_.erase(it, saved_.end());
}

CParser::CParser(ParserContext& context, const TokenList& tokens)
    : ctx_(context), tokens_(without_pragmas(tokens, own_tokens_, pragmas_)) {
    // Each token's keyword is looked up once.
    keywords_.resize(tokens_.size(), Kw::None);
    for (std::size_t i = 0; i < tokens_.size(); ++i)
        if (tokens_[i].kind == TokKind::Ident) keywords_[i] = keyword_of(tokens_[i]);
    end_.text = string_pool().intern("");
    end_.kind = TokKind::End;
    if (!tokens_.empty()) {
        end_.file = tokens_.back().file;
        end_.line = tokens_.back().line;
    }
}

CParser::Kw CParser::keyword_of(const Token& t) const {
    if (t.kind != TokKind::Ident) return Kw::None;
    const auto kw = static_cast<Kw>(keyword_table().find(t.text));
    // The _FloatN words are keywords only for compilers that have them.
    if (!ctx_.float_n_keywords && (kw == Kw::Float32 || kw == Kw::Float64 || kw == Kw::Float32x ||
                                   kw == Kw::Float64x || kw == Kw::Float128n))
        return Kw::None;
    return kw;
}

void CParser::error_at(const Token& t, Code code, const std::string& arg) {
    if (ctx_.quiet) {
        ++ctx_.suppressed;
        return;
    }
    const char* file = t.file >= 0 && ctx_.file_name ? ctx_.file_name(t.file) : nullptr;
    // A token may be as long as its file: the message shows its beginning only.
    constexpr std::size_t kShown = 200;
    const std::string shown = arg.size() > kShown ? arg.substr(0, kShown) + "..." : arg;
    reportAtText(2, code, shown.c_str(), file, t.line);
}

void CParser::syntax_error(const std::string& expected) {
    if (failed_) return;
    failed_ = true;
    if (ctx_.quiet) return;
    const Token& t = peek();
    const std::string found = at_end() ? std::string("at end of input") : "before '" + std::string(t.view()) + "'";
    error_at(t, Code::CSYNTAXER, "expected " + expected + " " + found);
}

bool CParser::expect(const char* pooled, const char* what) {
    if (accept(pooled)) return true;
    syntax_error(what);
    return false;
}

// False when the input ends before the brackets close.
bool CParser::skip_balanced() {
    const Words& w = words();
    int depth = 0;
    while (!at_end()) {
        const char* t = peek().text;
        ++pos_;
        if (t == w.lparen || t == w.lbracket || t == w.lbrace) ++depth;
        else if ((t == w.rparen || t == w.rbracket || t == w.rbrace) && --depth <= 0) return true;
    }
    return depth <= 0;
}

// After an error: up to the end of the declaration (a ";" outside brackets, or
// the "}" that closes a body).
void CParser::recover() {
    const Words& w = words();
    int depth = 0;  // braces opened by the declaration so far
    for (std::size_t i = decl_start_; i < pos_ && i < tokens_.size(); ++i) {
        if (tokens_[i].text == w.lbrace) ++depth;
        else if (tokens_[i].text == w.rbrace) --depth;
    }
    while (!at_end()) {
        const char* t = peek().text;
        ++pos_;
        if (t == w.lbrace) {
            ++depth;
        } else if (t == w.rbrace) {
            if (--depth <= 0) {
                if (is(w.semicolon)) ++pos_;
                return;
            }
        } else if (t == w.semicolon && depth <= 0) {
            return;
        }
    }
}

bool CParser::enter(const char* what) {
    static constexpr int kMaxNesting = 400;
    if (++depth_ <= kMaxNesting) return true;
    if (!failed_) error_at(peek(), Code::CNESTDEPT, what);
    failed_ = true;
    pos_ = tokens_.size();  // nothing after this point can be trusted
    return false;
}

bool CParser::is_typedef_name(const Token& t) const {
    if (t.kind != TokKind::Ident) return false;
    const Symbol* s = ctx_.symbols.find(t.text);
    return s && s->kind == Symbol::Kind::Typedef;
}

bool CParser::starts_type(std::size_t ahead) const {
    const Token& t = peek(ahead);
    switch (keyword(t)) {
    case Kw::Const: case Kw::Volatile: case Kw::Restrict: case Kw::Atomic: case Kw::Void: case Kw::Char:
    case Kw::Short: case Kw::Int: case Kw::Long: case Kw::Float: case Kw::Double: case Kw::Signed:
    case Kw::Unsigned: case Kw::Bool: case Kw::Complex: case Kw::Int128: case Kw::Float128: case Kw::Float32:
    case Kw::Float64: case Kw::Float32x: case Kw::Float64x: case Kw::Float128n: case Kw::Struct: case Kw::Union:
    case Kw::Enum: case Kw::Typeof: case Kw::VaList: case Kw::Alignas: case Kw::Attribute: case Kw::AutoType:
        return true;
    case Kw::Extension: return starts_type(ahead + 1);
    default: break;
    }
    return is_typedef_name(t) || is_type_modifier(t);
}

// __attribute__((...)), asm labels and [[...]]; what the layout needs is kept.
void CParser::attributes(Attributes* into) {
    const Words& w = words();
    for (;;) {
        const Kw kw = keyword(peek());
        if (kw == Kw::Asm) {
            ++pos_;
            while (keyword(peek()) == Kw::Volatile || keyword(peek()) == Kw::Inline) ++pos_;
            if (is(w.lparen)) skip_balanced();
            continue;
        }
        if (is(w.lbracket) && is(w.lbracket, 1)) {
            skip_balanced();
            continue;
        }
        if (kw != Kw::Attribute) return;
        ++pos_;
        if (!expect(w.lparen, "'(' after __attribute__") || !expect(w.lparen, "'(' after __attribute__")) return;
        while (!at_end() && !is(w.rparen)) {
            const Token& name = peek();
            ++pos_;
            std::string_view n = name.view();
            if (n.size() > 4 && n.substr(0, 2) == "__" && n.substr(n.size() - 2) == "__") n = n.substr(2, n.size() - 4);
            if (n == "packed" && into) into->packed = true;
            if (is(w.lparen)) {
                if (n == "aligned" && into) {
                    ++pos_;
                    into->align = alignment();
                    expect(w.rparen, "')'");
                } else if (n == "mode" && into && peek(2).text == w.rparen) {
                    std::string_view m = peek(1).view();
                    if (m.size() > 4 && m.substr(0, 2) == "__") m = m.substr(2, m.size() - 4);
                    into->mode = m == "QI" ? 1 : m == "HI" ? 2 : m == "SI" ? 4 : m == "DI" || m == "word" || m == "pointer" ? 8 : m == "TI" ? 16 : 0;
                    pos_ += 3;
                } else {
                    skip_balanced();
                }
            } else if (n == "aligned" && into) {
                into->align = 16;
            }
            if (!accept(w.comma)) break;
        }
        if (!expect(w.rparen, "')' after attribute") || !expect(w.rparen, "')' after attribute")) return;
    }
}

// An alignment that is not a power of two, or beyond the largest an object
// file can hold, is an error and left out (0).
long long CParser::alignment() {
    constexpr long long kLargest = 1LL << 28;
    const Token& at = peek();
    bool known = false;
    const long long align = constant("alignment", false, &known);
    if (!known || align == 0) return 0;
    if (align > 0 && align <= kLargest && (align & (align - 1)) == 0) return align;
    error_at(at, Code::CSYNTAXER,
             "alignment " + std::to_string(align) + " is not a power of 2 up to " + std::to_string(kLargest));
    return 0;
}

// -1 when the expression is not an integer constant; `known` tells that case apart.
long long CParser::constant(const char* what, bool required, bool* known, const Type** type) {
    ExprTree* saved = tree_;
    tree_ = &scratch_;
    const Token& at = peek();
    Expr* e = conditional();
    tree_ = saved;
    if (known) *known = false;
    if (!e) return -1;
    if (!e->is_constant || e->is_float) {
        if (required && !failed_) error_at(at, Code::CNOTCONST, what);
        return -1;
    }
    if (known) *known = true;
    if (type) *type = e->type;
    return e->value;
}

void CParser::static_assertion() {
    const Words& w = words();
    const Token& at = peek();
    ++pos_;
    if (!expect(w.lparen, "'(' after _Static_assert")) return;
    const long long value = constant("static assertion", true);
    std::string message;
    if (accept(w.comma)) {
        while (peek().kind == TokKind::String) {
            message += std::string(peek().view());
            ++pos_;
        }
    }
    if (!expect(w.rparen, "')'")) return;
    if (value == 0) error_at(at, Code::CSTATASRT, message);
}

bool CParser::decl_specifiers(DeclSpec& specs, bool allow_storage) {
    const Words& w = words();
    int n_void = 0, n_char = 0, n_short = 0, n_int = 0, n_long = 0, n_float = 0, n_double = 0, n_signed = 0,
        n_unsigned = 0, n_bool = 0, n_complex = 0, n_int128 = 0;
    const Type* other = nullptr;
    specs.first = &peek();
    for (;;) {
        const Token& t = peek();
        const Kw kw = keyword(t);
        const bool basic_seen = n_void || n_char || n_short || n_int || n_long || n_float || n_double || n_signed ||
                                n_unsigned || n_bool || n_int128;
        const bool type_seen = other || basic_seen || n_complex;
        // A second type where one is complete: "struct s { ... } int x;" lacks its ";".
        const bool adds_type = (kw >= Kw::Void && kw <= Kw::VaList && kw != Kw::Complex) || kw == Kw::AutoType;
        const bool adds_other = kw >= Kw::Float128 && kw <= Kw::VaList;
        if ((other && adds_type && !(kw == Kw::Complex)) || (basic_seen && adds_other)) {
            syntax_error("';' or a declarator");
            return true;
        }
        switch (kw) {
        case Kw::Typedef: case Kw::Extern: case Kw::Static: case Kw::Auto: case Kw::Register:
            if (!allow_storage && kw != Kw::Register) {
                syntax_error("a type");
                return specs.any;
            }
            specs.storage = kw == Kw::Typedef ? DeclSpec::Storage::Typedef
                           : kw == Kw::Extern ? DeclSpec::Storage::Extern
                           : kw == Kw::Static ? DeclSpec::Storage::Static
                           : kw == Kw::Auto ? DeclSpec::Storage::Auto : DeclSpec::Storage::Register;
            // extern "C" { ... } and extern "C" declarations
            if (kw == Kw::Extern && peek(1).kind == TokKind::String) ++pos_;
            ++pos_;
            break;
        case Kw::Thread: case Kw::Inline: case Kw::Noreturn: case Kw::Extension: ++pos_; break;
        case Kw::Const: specs.quals |= kConst; ++pos_; break;
        case Kw::Volatile: specs.quals |= kVolatile; ++pos_; break;
        case Kw::Restrict: specs.quals |= kRestrict; ++pos_; break;
        case Kw::Atomic:
            ++pos_;
            if (is(w.lparen) && !type_seen) {
                ++pos_;
                other = type_name();
                expect(w.rparen, "')'");
            } else {
                specs.quals |= kAtomic;
            }
            break;
        case Kw::Attribute: case Kw::Asm: attributes(&specs.attrs); break;
        case Kw::Alignas: {
            ++pos_;
            if (!expect(w.lparen, "'('")) return true;
            if (starts_type()) specs.attrs.align = align_of(type_name());
            else specs.attrs.align = alignment();
            expect(w.rparen, "')'");
            break;
        }
        case Kw::Void: ++n_void; ++pos_; break;
        case Kw::Char: ++n_char; ++pos_; break;
        case Kw::Short: ++n_short; ++pos_; break;
        case Kw::Int: ++n_int; ++pos_; break;
        case Kw::Long: ++n_long; ++pos_; break;
        case Kw::Float: ++n_float; ++pos_; break;
        case Kw::Double: ++n_double; ++pos_; break;
        case Kw::Signed: ++n_signed; ++pos_; break;
        case Kw::Unsigned: ++n_unsigned; ++pos_; break;
        case Kw::Bool: ++n_bool; ++pos_; break;
        case Kw::Complex: ++n_complex; ++pos_; break;
        case Kw::Int128: ++n_int128; ++pos_; break;
        case Kw::Float128: case Kw::Float128n: other = ctx_.types.basic(TypeKind::Float128); ++pos_; break;
        case Kw::Float32: other = ctx_.types.basic(TypeKind::Float32); ++pos_; break;
        case Kw::Float64: other = ctx_.types.basic(TypeKind::Float64); ++pos_; break;
        case Kw::Float32x: other = ctx_.types.basic(TypeKind::Float32x); ++pos_; break;
        case Kw::Float64x: other = ctx_.types.basic(TypeKind::Float64x); ++pos_; break;
        case Kw::VaList: other = ctx_.types.basic(TypeKind::VaList); ++pos_; break;
        case Kw::Struct: case Kw::Union:
            ++pos_;
            other = struct_or_union(kw == Kw::Struct ? TypeKind::Struct : TypeKind::Union);
            break;
        case Kw::Enum: ++pos_; other = enum_specifier(); break;
        case Kw::Typeof: {
            ++pos_;
            if (!expect(w.lparen, "'(' after typeof")) return true;
            if (starts_type()) {
                other = type_name();
            } else {
                ExprTree* saved = tree_;
                tree_ = &scratch_;
                Expr* e = expression();
                tree_ = saved;
                other = e ? e->type : nullptr;
            }
            if (!other) other = ctx_.types.basic(TypeKind::Int);
            expect(w.rparen, "')'");
            break;
        }
        case Kw::AutoType: other = ctx_.types.basic(TypeKind::Int); ++pos_; break;
        default:
            if (t.kind == TokKind::Ident && is_type_modifier(t)) {
                ++pos_;
                break;
            }
            if (!type_seen && is_typedef_name(t)) {
                other = ctx_.symbols.find(t.text)->type;
                ++pos_;
                break;
            }
            goto done;
        }
        specs.any = true;
        if (failed_) return true;
    }
done:
    TypeTable& types = ctx_.types;
    TypeKind kind;
    if (other) {
        specs.type = n_complex && is_floating(other) ? types.complex_of(resolve(other)->kind) : other;
    } else {
        if (n_void) kind = TypeKind::Void;
        else if (n_bool) kind = TypeKind::Bool;
        else if (n_char) kind = n_unsigned ? TypeKind::UChar : n_signed ? TypeKind::SChar : TypeKind::Char;
        else if (n_short) kind = n_unsigned ? TypeKind::UShort : TypeKind::Short;
        else if (n_int128) kind = n_unsigned ? TypeKind::UInt128 : TypeKind::Int128;
        else if (n_long >= 2) kind = n_unsigned ? TypeKind::ULongLong : TypeKind::LongLong;
        else if (n_long == 1 && n_double) kind = TypeKind::LongDouble;
        else if (n_long == 1) kind = n_unsigned ? TypeKind::ULong : TypeKind::Long;
        else if (n_float) kind = TypeKind::Float;
        else if (n_double || (n_complex && !n_int && !n_signed && !n_unsigned)) kind = TypeKind::Double;
        else kind = n_unsigned ? TypeKind::UInt : TypeKind::Int;
        specs.type = n_complex ? types.complex_of(kind) : types.basic(kind);
        if (!(n_void || n_bool || n_char || n_short || n_int128 || n_long || n_float || n_double || n_complex ||
              n_int || n_signed || n_unsigned))
            specs.type = nullptr;
    }
    if (specs.type && specs.quals) specs.type = types.qualified(specs.type, specs.quals);
    if (!specs.type && specs.any) specs.type = types.qualified(types.basic(TypeKind::Int), specs.quals);  // implicit int
    return specs.any;
}

const Type* CParser::struct_or_union(TypeKind kind) {
    const Words& w = words();
    const Nesting nesting(*this, "structure");
    if (!nesting.ok) return ctx_.types.basic(TypeKind::Int);
    Attributes attrs;
    attributes(&attrs);
    const Token& at = peek();
    const char* tag = nullptr;
    if (peek().kind == TokKind::Ident && keyword(peek()) == Kw::None) {
        tag = peek().text;
        ++pos_;
    }
    attributes(&attrs);
    SymbolTable& symbols = ctx_.symbols;
    Record* record = nullptr;
    if (tag) {
        const bool defining = is(w.lbrace);
        const bool forward = is(w.semicolon);
        record = symbols.find_tag(tag, defining || forward);
        if (!record && !defining && !forward) record = symbols.find_tag(tag, false);
        if (record && record->kind != kind) {
            error_at(at, Code::CREDEFTAG, std::string(kind == TypeKind::Struct ? "struct " : "union ") + tag);
            record = nullptr;
        }
        if (record && defining && record->complete) {
            error_at(at, Code::CREDEFTAG, std::string(kind == TypeKind::Struct ? "struct " : "union ") + tag);
            record = nullptr;
        }
        if (!record && ctx_.quiet && !defining) {  // a question names a tag nobody declared
            failed_ = true;
            return ctx_.types.basic(TypeKind::Int);
        }
        if (!record) {
            record = ctx_.types.make_record(kind, tag);
            record->file = ctx_.current_file ? ctx_.current_file : (at.file >= 0 && ctx_.file_name ? ctx_.file_name(at.file) : nullptr);
            record->line = at.line;
            symbols.named_scope().tags[tag] = record;
        }
    } else {
        if (!is(w.lbrace)) {
            syntax_error(kind == TypeKind::Struct ? "a structure tag or '{'" : "a union tag or '{'");
            return ctx_.types.basic(TypeKind::Int);
        }
        record = ctx_.types.make_record(kind, nullptr);
        record->file = at.file >= 0 && ctx_.file_name ? ctx_.file_name(at.file) : nullptr;
        record->line = at.line;
    }
    if (is(w.lbrace)) {
        ++pos_;
        Record body;
        body.kind = kind;
        struct_body(body);
        apply_pragmas(pos_);  // the limit in force at the closing brace holds for the whole body
        body.pack = ctx_.pack ? ctx_.pack->limit() : 0;
        Attributes after;
        attributes(&after);
        body.packed = attrs.packed || after.packed;
        lay_out(body);
        const long long align = std::max(attrs.align, after.align);
        if (align > body.align) {
            body.align = align;
            body.size = (body.size + align - 1) / align * align;
        }
        record->fields = std::move(body.fields);
        record->packed = body.packed;
        record->size = body.size;
        record->align = body.align;
        record->complete = true;
        // The record is filled in place: what texts about it mean changes
        // without a declaration of a name.
        ctx_.symbols.note_change();
    }
    return ctx_.types.record_type(record);
}

void CParser::struct_body(Record& record) {
    const Words& w = words();
    // Whether a member name is taken: a look along the few members of most
    // structures, a set of the names for long ones.
    std::unordered_set<const char*> names;
    bool indexed = false;
    const auto taken = [&](const char* name) {
        if (!indexed && record.fields.size() < 32)
            return std::any_of(record.fields.begin(), record.fields.end(), [&](const Field& f) { return f.name == name; });
        if (!indexed) {
            for (const Field& f : record.fields)
                if (f.name) names.insert(f.name);
            indexed = true;
        }
        return !names.insert(name).second;
    };
    while (!failed_ && !accept(w.rbrace)) {
        if (at_end()) {
            syntax_error("'}' to close the structure");
            return;
        }
        if (accept(w.semicolon)) continue;
        if (keyword(peek()) == Kw::StaticAssert) {
            static_assertion();
            expect(w.semicolon, "';'");
            continue;
        }
        if (keyword(peek()) == Kw::Pragma) {
            ++pos_;
            skip_balanced();
            continue;
        }
        DeclSpec specs;
        const Token& at = peek();
        if (!decl_specifiers(specs, false) || !specs.type) {
            if (peek().kind == TokKind::Ident && (peek(1).kind == TokKind::Ident || peek(1).text == w.star))
                error_at(at, Code::CUNKNTYPE, std::string(at.view())), failed_ = true;
            else
                syntax_error("a member declaration");
            return;
        }
        if (is(w.semicolon)) {
            // anonymous structure or union member
            ++pos_;
            const Type* r = resolve(specs.type);
            if (r && (r->kind == TypeKind::Struct || r->kind == TypeKind::Union)) {
                Field f;
                f.type = specs.type;
                record.fields.push_back(f);
            }
            continue;
        }
        for (;;) {
            Declared d;
            const Type* type = specs.type;
            if (!is(w.colon)) type = declarator(specs.type, d, false);
            Field f;
            f.name = d.name;
            bool bit_field = false, width_known = false;
            long long width = -1;
            if (accept(w.colon)) {
                bit_field = true;
                width = constant("bit-field width", true, &width_known);
            }
            Attributes attrs = specs.attrs;
            attributes(&attrs);
            if (failed_) return;
            f.type = apply_mode(type, attrs);
            f.packed = attrs.packed;
            f.align = attrs.align;
            const Type* r = resolve(f.type);
            const bool flexible = r && r->kind == TypeKind::Array && r->count < 0 && size_of(r->base) >= 0;
            if (r && (r->kind == TypeKind::Void || (size_of(r) < 0 && !flexible))) {
                error_at(d.token ? *d.token : at, Code::CINCOMPLT, d.name ? d.name : "<anonymous>");
                failed_ = true;
                return;
            }
            if (bit_field && width_known) {
                // At most the bits of its type (one for _Bool); no width 0 for a named one.
                const long long bits = r && r->kind == TypeKind::Bool ? 1 : std::max(0LL, size_of(r) * 8);
                if (width < 0 || width > bits || (width == 0 && f.name)) {
                    error_at(d.token ? *d.token : at, Code::CBITWIDTH, f.name ? f.name : "<anonymous>");
                    failed_ = true;
                    return;
                }
                f.bit_width = static_cast<int>(width);
            } else if (bit_field) {
                f.bit_width = 0;
            }
            if (f.name && taken(f.name)) {
                error_at(d.token ? *d.token : at, Code::CDUPLNAME, f.name);
                failed_ = true;
                return;
            }
            record.fields.push_back(f);
            if (accept(w.comma)) continue;
            expect(w.semicolon, "';' after a member");
            break;
        }
    }
}

const Type* CParser::enum_specifier() {
    const Words& w = words();
    attributes(nullptr);
    const Token& at = peek();
    const char* tag = nullptr;
    if (peek().kind == TokKind::Ident && keyword(peek()) == Kw::None) {
        tag = peek().text;
        ++pos_;
    }
    Attributes attrs;
    attributes(&attrs);
    SymbolTable& symbols = ctx_.symbols;
    Record* record = tag ? symbols.find_tag(tag, is(w.lbrace)) : nullptr;
    if (tag && !record && !is(w.lbrace)) record = symbols.find_tag(tag, false);
    if (record && (record->kind != TypeKind::Enum || (is(w.lbrace) && record->complete))) {
        error_at(at, Code::CREDEFTAG, std::string("enum ") + tag);
        record = nullptr;
    }
    if (!record && tag && ctx_.quiet && !is(w.lbrace)) {
        failed_ = true;
        return ctx_.types.basic(TypeKind::Int);
    }
    if (!record) {
        record = ctx_.types.make_record(TypeKind::Enum, tag);
        record->file = at.file >= 0 && ctx_.file_name ? ctx_.file_name(at.file) : nullptr;
        record->line = at.line;
        record->enum_base = ctx_.types.basic(TypeKind::UInt);
        if (tag) symbols.named_scope().tags[tag] = record;
    }
    if (accept(w.lbrace)) {
        enum_body(*record);
        Attributes after;
        attributes(&after);
        if (attrs.packed || after.packed) {
            long long lo = 0, hi = 0;
            for (const Enumerator& e : record->enumerators) lo = std::min(lo, e.value), hi = std::max(hi, e.value);
            TypeKind k = lo < 0 ? (lo >= -128 && hi <= 127 ? TypeKind::SChar : lo >= -32768 && hi <= 32767 ? TypeKind::Short : TypeKind::Int)
                                : (hi <= 255 ? TypeKind::UChar : hi <= 65535 ? TypeKind::UShort : TypeKind::UInt);
            record->enum_base = ctx_.types.basic(k);
        }
    }
    return ctx_.types.record_type(record);
}

void CParser::enum_body(Record& record) {
    const Words& w = words();
    long long next = 0;
    bool past_largest = false;  // the previous enumerator had the largest value
    // `next` stands for an unsigned 64-bit value above the largest long long
    // (its bits read as unsigned): such enumerators make the enumeration unsigned long.
    bool beyond = false, any_beyond = false;
    long long lo = 0, hi = 0;
    SymbolTable& symbols = ctx_.symbols;
    const Type* int_type = ctx_.types.basic(TypeKind::Int);
    while (!failed_ && !accept(w.rbrace)) {
        const Token& name = peek();
        if (name.kind != TokKind::Ident) {
            syntax_error("an enumerator name");
            return;
        }
        ++pos_;
        attributes(nullptr);
        if (accept(w.assign)) {
            const Type* type = nullptr;
            next = constant("enumerator value", true, nullptr, &type);
            beyond = next < 0 && type && is_unsigned(type) && size_of(type) == 8;
        } else if (past_largest) {
            error_at(name, Code::CSYNTAXER, "overflow in enumeration values");
        }
        Symbol s;
        s.kind = Symbol::Kind::EnumConstant;
        s.name = name.text;
        s.type = beyond        ? ctx_.types.basic(TypeKind::ULong)
                 : fits_int(next) ? int_type
                                  : ctx_.types.basic(next >= 0 && next <= UINT32_MAX ? TypeKind::UInt : TypeKind::Long);
        s.value = next;
        s.file = name.file >= 0 && ctx_.file_name ? ctx_.file_name(name.file) : nullptr;
        s.line = name.line;
        auto& ordinary = symbols.innermost().ordinary;
        if (ordinary.count(name.text)) error_at(name, Code::CCONFDECL, std::string(name.view()));
        ordinary[name.text] = s;
        record.enumerators.push_back(Enumerator{name.text, next});
        if (beyond) {
            any_beyond = true;
        } else {
            lo = std::min(lo, next);
            hi = std::max(hi, next);
        }
        past_largest = beyond ? next == -1 : next == LLONG_MAX;
        if (!past_largest) ++next;
        if (!accept(w.comma)) {
            expect(w.rbrace, "',' or '}' in an enumeration");
            break;
        }
    }
    TypeKind base = lo < 0 ? (lo >= INT32_MIN && hi <= INT32_MAX && !any_beyond ? TypeKind::Int : TypeKind::Long)
                           : (hi <= UINT32_MAX && !any_beyond ? TypeKind::UInt : TypeKind::ULong);
    record.enum_base = ctx_.types.basic(base);
    // Enumerators that int cannot hold take the type of the enumeration once it is complete.
    auto& ordinary = symbols.innermost().ordinary;
    for (const Enumerator& e : record.enumerators) {
        auto it = ordinary.find(e.name);
        if (!fits_int(e.value) && it != ordinary.end() && it->second.kind == Symbol::Kind::EnumConstant)
            it->second.type = record.enum_base;
    }
    record.size = size_of(record.enum_base);
    record.align = record.size;
    record.complete = true;
}

const Type* CParser::pointers(const Type* base) {
    const Words& w = words();
    while (accept(w.star)) {
        base = ctx_.types.pointer_to(base);
        std::uint8_t quals = 0;
        for (;;) {
            const Kw kw = keyword(peek());
            if (kw == Kw::Const) quals |= kConst;
            else if (kw == Kw::Volatile) quals |= kVolatile;
            else if (kw == Kw::Restrict) quals |= kRestrict;
            else if (kw == Kw::Atomic) quals |= kAtomic;
            else if (kw == Kw::Attribute || kw == Kw::Extension) {
                if (kw == Kw::Attribute) attributes(nullptr);
                else ++pos_;
                continue;
            } else if (peek().kind == TokKind::Ident && is_type_modifier(peek())) {
            } else {
                break;
            }
            ++pos_;
        }
        base = ctx_.types.qualified(base, quals);
    }
    return base;
}

bool CParser::grouping_paren() const {
    const Words& w = words();
    const Token& next = peek(1);
    if (next.text == w.star || next.text == w.caret || next.text == w.lparen || next.text == w.lbracket) return true;
    const Kw kw = keyword(next);
    if (kw == Kw::Attribute) return true;
    if (next.kind == TokKind::Ident && kw == Kw::None && !is_typedef_name(next) && !is_type_modifier(next))
        return true;
    return false;
}

const Type* CParser::declarator(const Type* base, Declared& declared, bool abstract) {
    const Words& w = words();
    const Nesting nesting(*this, "declarator");
    if (!nesting.ok) return base;
    attributes(nullptr);
    base = pointers(base);
    attributes(nullptr);
    if (is(w.lparen) && grouping_paren()) {
        const std::size_t start = pos_;
        skip_balanced();
        const Type* outer = type_suffix(base);
        const std::size_t end = pos_;
        pos_ = start + 1;
        const Type* type = declarator(outer, declared, abstract);
        expect(w.rparen, "')'");
        pos_ = std::max(pos_, end);
        return type;
    }
    if (peek().kind == TokKind::Ident && keyword(peek()) == Kw::None) {
        declared.name = peek().text;
        declared.token = &peek();
        ++pos_;
    } else if (!abstract && !failed_) {
        syntax_error("an identifier");
        return base;
    }
    return type_suffix(base);
}

const Type* CParser::type_suffix(const Type* base) {
    const Words& w = words();
    const Nesting nesting(*this, "declarator");
    if (!nesting.ok) return base;
    if (accept(w.lbracket)) {
        std::uint8_t quals = 0;
        for (;;) {
            const Kw kw = keyword(peek());
            if (kw == Kw::Static) ++pos_;
            else if (kw == Kw::Const) quals |= kConst, ++pos_;
            else if (kw == Kw::Volatile) quals |= kVolatile, ++pos_;
            else if (kw == Kw::Restrict) quals |= kRestrict, ++pos_;
            else break;
        }
        long long count = -1;
        if (is(w.star) && peek(1).text == w.rbracket) {
            ++pos_;
        } else if (!is(w.rbracket)) {
            const Token& at = peek();
            bool known = false;
            count = constant("array size", false, &known);
            if (known && count < 0) {
                error_at(at, Code::CNEGASIZE, std::to_string(count));
                failed_ = true;
            }
        }
        expect(w.rbracket, "']'");
        const Type* element = type_suffix(base);
        const Type* array = ctx_.types.array_of(element, count);
        return quals ? ctx_.types.qualified(array, quals) : array;
    }
    if (is(w.lparen)) {
        ++pos_;
        Type fn = parameters();
        attributes(nullptr);
        fn.base = type_suffix(base);
        return ctx_.types.make(std::move(fn));
    }
    return base;
}

// After "(": the parameter list up to and including ")"; the caller adds the return type.
Type CParser::parameters() {
    const Words& w = words();
    Type fn;
    fn.kind = TypeKind::Function;
    if (accept(w.rparen)) {
        fn.prototype = false;
        return fn;
    }
    if (keyword(peek()) == Kw::Void && peek(1).text == w.rparen) {
        pos_ += 2;
        return fn;
    }
    // K&R identifier list
    if (peek().kind == TokKind::Ident && keyword(peek()) == Kw::None && !is_typedef_name(peek()) &&
        !is_type_modifier(peek()) && (peek(1).text == w.comma || peek(1).text == w.rparen)) {
        fn.prototype = false;
        while (peek().kind == TokKind::Ident) {
            fn.params.push_back(Param{peek().text, ctx_.types.basic(TypeKind::Int), 0});
            ++pos_;
            if (!accept(w.comma)) break;
        }
        expect(w.rparen, "')' after the parameter names");
        return fn;
    }
    ctx_.symbols.push_block();
    while (!failed_) {
        if (accept(w.ellipsis)) {
            fn.variadic = true;
            expect(w.rparen, "')' after '...'");
            break;
        }
        DeclSpec specs;
        const Token& at = peek();
        if (!decl_specifiers(specs, true) || !specs.type) {
            if (at.kind == TokKind::Ident && keyword(at) == Kw::None) {
                error_at(at, Code::CUNKNTYPE, std::string(at.view()));
                failed_ = true;
            } else {
                syntax_error("a parameter declaration");
            }
            break;
        }
        Declared d;
        const Type* type = declarator(specs.type, d, true);
        attributes(nullptr);
        const Type* r = resolve(type);
        const long long array_size = r && r->kind == TypeKind::Array && r->count > 0 ? r->count : 0;
        if (r && r->kind == TypeKind::Array) {
            // Qualifiers of an array typedef belong to the elements; those
            // written inside the brackets to the pointer.
            std::uint8_t element_quals = 0;
            for (const Type* t = type; t && t->kind == TypeKind::Typedef; t = t->base) element_quals |= t->quals;
            type = ctx_.types.qualified(ctx_.types.pointer_to(ctx_.types.qualified(r->base, element_quals)), r->quals);
        }
        else if (r && r->kind == TypeKind::Function) type = ctx_.types.pointer_to(type);
        if (d.name && ctx_.symbols.innermost().ordinary.count(d.name)) {
            error_at(d.token ? *d.token : at, Code::CDUPLNAME, d.name);
            failed_ = true;
            break;
        }
        if (d.name) {
            Symbol s;
            s.kind = Symbol::Kind::Variable;
            s.name = d.name;
            s.type = type;
            ctx_.symbols.innermost().ordinary[d.name] = s;
        }
        fn.params.push_back(Param{d.name, type, array_size});
        if (accept(w.comma)) continue;
        expect(w.rparen, "',' or ')' in a parameter list");
        break;
    }
    ctx_.symbols.pop_block();
    return fn;
}

const Type* CParser::apply_mode(const Type* type, const Attributes& attrs) {
    if (!attrs.mode || !is_integer(type)) return type;
    const bool u = is_unsigned(type);
    TypeKind k;
    switch (attrs.mode) {
    case 1: k = u ? TypeKind::UChar : TypeKind::SChar; break;
    case 2: k = u ? TypeKind::UShort : TypeKind::Short; break;
    case 4: k = u ? TypeKind::UInt : TypeKind::Int; break;
    case 8: k = u ? TypeKind::ULong : TypeKind::Long; break;
    default: k = u ? TypeKind::UInt128 : TypeKind::Int128; break;
    }
    return ctx_.types.qualified(ctx_.types.basic(k), qualifiers_of(type));
}

const Type* CParser::type_name() {
    DeclSpec specs;
    if (!decl_specifiers(specs, false) || !specs.type) {
        syntax_error("a type name");
        return nullptr;
    }
    Declared d;
    const Type* type = declarator(specs.type, d, true);
    return apply_mode(type, specs.attrs);
}

void CParser::skip_initializer() {
    const Words& w = words();
    int depth = 0;
    while (!at_end()) {
        const char* t = peek().text;
        if (depth == 0 && (t == w.comma || t == w.semicolon)) return;
        if (t == w.lparen || t == w.lbracket || t == w.lbrace) ++depth;
        else if (t == w.rparen || t == w.rbracket || t == w.rbrace) --depth;
        ++pos_;
    }
}

// The element count that an initializer gives an array of unknown size: the
// length of a string literal (alone or in braces), or the elements of a
// braced list, where a designator "[n]" (or "[m ... n]") sets the index of
// the elements that follow; -1 when it cannot be told. Reads nothing.
long long CParser::initializer_count(const Type* element) {
    const Words& w = words();
    const std::size_t start = pos_;
    const bool failed_before = failed_;  // a designator that is not a constant fails no declaration
    long long count = -1;
    const auto string_length = [&] {
        ExprTree* saved = tree_;
        tree_ = &scratch_;
        const Expr* e = conditional();  // the literals alone: typed with their concatenated length
        tree_ = saved;
        const Type* r = e ? resolve(e->type) : nullptr;
        return r && r->kind == TypeKind::Array ? r->count : -1;
    };
    std::size_t strings = 0;
    while (peek(strings).kind == TokKind::String) ++strings;
    if (strings > 0 && (peek(strings).text == w.comma || peek(strings).text == w.semicolon)) {
        count = string_length();
    } else if (accept(w.lbrace)) {
        strings = 0;
        while (peek(strings).kind == TokKind::String) ++strings;
        if (size_of(element) == 1 && strings > 0) {
            const bool alone = peek(strings).text == w.rbrace ||
                               (peek(strings).text == w.comma && peek(strings + 1).text == w.rbrace);
            count = alone ? string_length() : -1;
            pos_ = start;
            failed_ = failed_before;
            return count;
        }
        int depth = 0;
        bool empty_element = true;
        long long index = 0;  // of the element being read
        count = 0;
        while (!at_end()) {
            const char* t = peek().text;
            if (depth == 0 && empty_element && t == w.dot) {
                count = -1;  // a member designator: not an array's list
                break;
            }
            if (depth == 0 && empty_element && t == w.lbracket) {
                ++pos_;
                bool known = false;
                long long at = constant("array designator", false, &known);
                if (known && accept(w.ellipsis)) at = constant("array designator", false, &known);
                if (!known || at < 0 || at == LLONG_MAX || failed_ || !accept(w.rbracket)) {
                    count = -1;
                    break;
                }
                index = at;
                empty_element = false;
                continue;
            }
            if (depth == 0 && (t == w.comma || t == w.rbrace)) {
                if (!empty_element) {
                    if (index == LLONG_MAX) {  // no size can hold one more element
                        count = -1;
                        break;
                    }
                    count = std::max(count, ++index);
                }
                if (t == w.rbrace) break;
                empty_element = true;
            } else {
                empty_element = false;
                if (t == w.lparen || t == w.lbracket || t == w.lbrace) ++depth;
                else if (t == w.rparen || t == w.rbracket || t == w.rbrace) --depth;
            }
            ++pos_;
        }
        if (at_end()) count = -1;
    }
    pos_ = start;
    failed_ = failed_before;
    return count;
}

void CParser::declare(const DeclSpec& specs, const Declared& declared, const Type* type) {
    SymbolTable& symbols = ctx_.symbols;
    Symbol s;
    s.name = declared.name;
    s.file = ctx_.current_file ? ctx_.current_file
                               : (declared.token && declared.token->file >= 0 && ctx_.file_name ? ctx_.file_name(declared.token->file) : nullptr);
    s.line = declared.token ? declared.token->line : 0;
    auto& scope = symbols.innermost();
    const Token& at = declared.token ? *declared.token : peek();
    if (specs.storage == DeclSpec::Storage::Typedef) {
        Type td;
        td.kind = TypeKind::Typedef;
        td.name = declared.name;
        td.base = type;
        td.target = resolve(type);
        td.align = type->align;  // exact: an aligned typedef may also lower the alignment
        s.kind = Symbol::Kind::Typedef;
        s.type = ctx_.types.make(td);
        auto it = scope.typedefs.find(declared.name);
        if (it != scope.typedefs.end()) {
            if (!same_type(it->second.type, type)) error_at(at, Code::CCONFDECL, declared.name);
            return;
        }
        auto enumerator = scope.ordinary.find(declared.name);
        if (enumerator != scope.ordinary.end() && enumerator->second.kind == Symbol::Kind::EnumConstant) {
            error_at(at, Code::CCONFDECL, declared.name);
            return;
        }
        scope.typedefs[declared.name] = s;
        return;
    }
    const Type* r = resolve(type);
    s.kind = r && r->kind == TypeKind::Function ? Symbol::Kind::Function : Symbol::Kind::Variable;
    s.type = type;
    s.is_static = specs.storage == DeclSpec::Storage::Static;
    auto it = scope.ordinary.find(declared.name);
    if (it != scope.ordinary.end()) {
        Symbol& old = it->second;
        if (old.kind == Symbol::Kind::EnumConstant || old.kind != s.kind || !same_type(old.type, type)) {
            error_at(at, Code::CCONFDECL, declared.name);
            return;
        }
        // A name declared static once keeps its internal linkage.
        old.is_static = old.is_static || s.is_static;
        // Keep the more complete of the two (an array with its size, a prototype).
        const Type* ro = resolve(old.type);
        if ((ro->kind == TypeKind::Array && ro->count < 0) || (ro->kind == TypeKind::Function && !ro->prototype))
            old.type = type;
        return;
    }
    scope.ordinary[declared.name] = s;
}

void CParser::external_declaration() {
    const Words& w = words();
    failed_ = false;
    decl_start_ = pos_;
    if (accept(w.semicolon)) return;
    const Token& first = peek();
    if (first.text == w.rbrace && extern_c_depth_ > 0) {
        ++pos_;
        --extern_c_depth_;
        return;
    }
    const Kw kw = keyword(first);
    if (kw == Kw::Extern && peek(1).kind == TokKind::String && peek(2).text == w.lbrace) {
        pos_ += 3;
        ++extern_c_depth_;
        return;
    }
    if (kw == Kw::StaticAssert) {
        static_assertion();
        expect(w.semicolon, "';' after a static assertion");
        return;
    }
    if (kw == Kw::Asm) {
        attributes(nullptr);
        accept(w.semicolon);
        return;
    }
    if (kw == Kw::Pragma) {
        ++pos_;
        skip_balanced();
        return;
    }
    DeclSpec specs;
    const bool any = decl_specifiers(specs, true);
    if (failed_) return;
    if (!any) {
        if (first.kind == TokKind::Ident && keyword(first) == Kw::None &&
            (peek(1).kind == TokKind::Ident || peek(1).text == w.star)) {
            error_at(first, Code::CUNKNTYPE, std::string(first.view()));
            failed_ = true;
            return;
        }
        if (!(first.kind == TokKind::Ident && peek(1).text == w.lparen)) {
            syntax_error("a declaration");
            return;
        }
        specs.type = ctx_.types.basic(TypeKind::Int);  // K&R implicit int
    }
    if (accept(w.semicolon)) return;
    for (;;) {
        Declared d;
        const Type* type = declarator(specs.type, d, false);
        if (failed_) return;
        Attributes attrs = specs.attrs;
        attributes(&attrs);
        type = apply_mode(type, attrs);
        if (attrs.align > 0 && specs.storage == DeclSpec::Storage::Typedef) type = ctx_.types.aligned(type, attrs.align);
        const Type* r = resolve(type);
        const bool function = r && r->kind == TypeKind::Function;
        if (function && is(w.lbrace)) {
            declare(specs, d, type);
            if (!skip_balanced()) syntax_error("'}' to close the function body");
            return;
        }
        if (function && !r->prototype && !is(w.semicolon) && !is(w.comma) && !is(w.assign)) {
            // K&R parameter declarations, then the body
            ctx_.symbols.push_block();
            while (!failed_ && !at_end() && !is(w.lbrace)) {
                DeclSpec param_spec;
                if (!decl_specifiers(param_spec, true)) {
                    syntax_error("a parameter declaration or '{'");
                    break;
                }
                do {
                    Declared pd;
                    declarator(param_spec.type, pd, false);
                } while (!failed_ && accept(w.comma));
                expect(w.semicolon, "';'");
            }
            ctx_.symbols.pop_block();
            if (failed_) return;
            declare(specs, d, type);
            if (!skip_balanced()) syntax_error("'}' to close the function body");
            return;
        }
        if (accept(w.assign)) {
            // An array of unknown size takes its size from the initializer.
            if (type->kind == TypeKind::Array && type->count < 0) {
                const long long count = initializer_count(type->base);
                if (count > 0) type = ctx_.types.qualified(ctx_.types.array_of(type->base, count), type->quals);
            }
            skip_initializer();
        }
        declare(specs, d, type);
        if (accept(w.comma)) continue;
        expect(w.semicolon, "';' after a declaration");
        return;
    }
}

void CParser::parse_declarations() {
    while (!at_end()) {
        const std::size_t before = pos_;
        external_declaration();
        if (failed_) recover();
        if (pos_ == before) ++pos_;  // never stand still
    }
    apply_pragmas(tokens_.size() + 1);
}

const Type* CParser::parse_type_name() {
    if (!starts_type()) return nullptr;
    const Type* type = type_name();
    return failed_ || !at_end() ? nullptr : type;
}

}  // namespace zv::native
