// Built-in functions: the table of those headers use in macros, and the
// reading of a call to one, typed and folded as the C compiler does.
#include "native/c_builtins.h"

#include "native/c_lexer.h"
#include "native/c_parser_internal.h"

#include <cmath>
#include <string>
#include <unordered_map>

namespace zv::native {

namespace {

using F = BuiltinFold;

struct Table {
    std::unordered_map<std::string, Builtin> entries;

    void add(const std::string& name, TypeKind result, F fold = F::None, int bits = 0) {
        Builtin b;
        b.result = result;
        b.fold = fold;
        b.bits = bits;
        entries[name] = b;
    }
    void pointer(const std::string& name, TypeKind target, bool const_target = false) {
        Builtin b;
        b.result = target;
        b.pointer = true;
        b.const_target = const_target;
        entries[name] = b;
    }
    // name, namef, namel: on double, float and long double.
    void real(const std::string& stem, F fold = F::None) {
        add(stem, TypeKind::Double, fold);
        add(stem + "f", TypeKind::Float, fold);
        add(stem + "l", TypeKind::LongDouble, fold);
    }
    // The same with the _FloatN and _FloatNx forms.
    void real_n(const std::string& stem, F fold = F::None) {
        real(stem, fold);
        add(stem + "f32", TypeKind::Float32, fold);
        add(stem + "f64", TypeKind::Float64, fold);
        add(stem + "f128", TypeKind::Float128, fold);
        add(stem + "f32x", TypeKind::Float32x, fold);
        add(stem + "f64x", TypeKind::Float64x, fold);
    }
    // name, namel, namell: int results on int, long and long long arguments.
    void bits(const std::string& stem, F fold) {
        add(stem, TypeKind::Int, fold, 32);
        add(stem + "l", TypeKind::Int, fold, 64);
        add(stem + "ll", TypeKind::Int, fold, 64);
    }

    Table() {
        real_n("__builtin_inf", F::Infinity);
        real_n("__builtin_huge_val", F::Infinity);
        real_n("__builtin_nan", F::NotANumber);
        real_n("__builtin_nans", F::NotANumber);
        real_n("__builtin_fabs", F::Fabs);
        real_n("__builtin_copysign", F::CopySign);
        real_n("__builtin_floor", F::Floor);
        real_n("__builtin_ceil", F::Ceil);
        real_n("__builtin_round", F::Round);
        real_n("__builtin_trunc", F::Trunc);
        for (const char* stem : {"__builtin_sqrt", "__builtin_fmax", "__builtin_fmin", "__builtin_fma", "__builtin_rint",
                                 "__builtin_nearbyint"})
            real_n(stem);
        for (const char* stem : {"__builtin_log", "__builtin_exp", "__builtin_pow", "__builtin_fmod", "__builtin_ldexp",
                                 "__builtin_frexp", "__builtin_modf", "__builtin_sin", "__builtin_cos"})
            real(stem);
        add("__builtin_bswap16", TypeKind::UShort, F::ByteSwap, 16);
        add("__builtin_bswap32", TypeKind::UInt, F::ByteSwap, 32);
        add("__builtin_bswap64", TypeKind::ULong, F::ByteSwap, 64);
        bits("__builtin_clz", F::LeadingZeros);
        bits("__builtin_ctz", F::TrailingZeros);
        bits("__builtin_popcount", F::Population);
        bits("__builtin_parity", F::Parity);
        bits("__builtin_ffs", F::FirstSet);
        bits("__builtin_clrsb", F::RedundantSign);
        add("__builtin_expect", TypeKind::Long, F::Expect);
        add("__builtin_expect_with_probability", TypeKind::Long, F::Expect);
        add("__builtin_constant_p", TypeKind::Int, F::IsConstant);
        add("__builtin_strlen", TypeKind::ULong, F::StringLength);
        add("__builtin_classify_type", TypeKind::Int, F::ClassifyType);
        add("__builtin_isnan", TypeKind::Int, F::IsNan);
        add("__builtin_isinf", TypeKind::Int, F::IsInf);  // folded with the sign, as isinf_sign
        add("__builtin_isinf_sign", TypeKind::Int, F::IsInf);
        add("__builtin_isfinite", TypeKind::Int, F::IsFinite);
        add("__builtin_isnormal", TypeKind::Int, F::IsNormal);
        add("__builtin_signbit", TypeKind::Int, F::SignBit);
        add("__builtin_signbitf", TypeKind::Int, F::SignBit);
        add("__builtin_signbitl", TypeKind::Int, F::SignBit);
        add("__builtin_fpclassify", TypeKind::Int, F::Classify);
        add("__builtin_isgreater", TypeKind::Int, F::Greater);
        add("__builtin_isgreaterequal", TypeKind::Int, F::GreaterEqual);
        add("__builtin_isless", TypeKind::Int, F::Less);
        add("__builtin_islessequal", TypeKind::Int, F::LessEqual);
        add("__builtin_islessgreater", TypeKind::Int, F::LessGreater);
        add("__builtin_isunordered", TypeKind::Int, F::Unordered);
        add("__builtin_choose_expr", TypeKind::Int, F::ChooseExpr);
        add("__builtin_complex", TypeKind::Double, F::Complex);
        entries["__builtin_complex"].has_builtin = false;  // a reserved word to the compiler
        for (const char* name : {"__builtin_add_overflow", "__builtin_sub_overflow", "__builtin_mul_overflow",
                                 "__builtin_add_overflow_p", "__builtin_sub_overflow_p", "__builtin_mul_overflow_p"})
            add(name, TypeKind::Bool);
        for (const char* name : {"__builtin_memcmp", "__builtin_strcmp", "__builtin_strncmp", "__builtin_abs",
                                 "__builtin_sprintf", "__builtin_snprintf", "__builtin_printf", "__builtin_LINE",
                                 "__builtin_setjmp"})
            add(name, TypeKind::Int);
        add("__builtin_labs", TypeKind::Long);
        add("__builtin_llabs", TypeKind::LongLong);
        for (const char* name : {"__builtin_object_size", "__builtin_dynamic_object_size", "__builtin_strnlen"})
            add(name, TypeKind::ULong);
        for (const char* name : {"__builtin_abort", "__builtin_trap", "__builtin_unreachable", "__builtin_prefetch",
                                 "__builtin_va_start", "__builtin_va_end", "__builtin_va_copy", "__builtin_free",
                                 "__builtin_longjmp", "__builtin_ia32_pause"})
            add(name, TypeKind::Void);
        for (const char* name : {"__builtin_memcpy", "__builtin_memmove", "__builtin_memset", "__builtin_mempcpy",
                                 "__builtin_memchr", "__builtin_alloca", "__builtin_alloca_with_align",
                                 "__builtin_assume_aligned", "__builtin_frame_address", "__builtin_return_address",
                                 "__builtin_extract_return_addr", "__builtin_malloc", "__builtin_calloc",
                                 "__builtin_realloc"})
            pointer(name, TypeKind::Void);
        for (const char* name : {"__builtin_strchr", "__builtin_strrchr", "__builtin_strstr", "__builtin_strpbrk",
                                 "__builtin_strcpy", "__builtin_strncpy", "__builtin_strcat", "__builtin_strncat",
                                 "__builtin_stpcpy", "__builtin_strdup"})
            pointer(name, TypeKind::Char);
        pointer("__builtin_FILE", TypeKind::Char, true);
        pointer("__builtin_FUNCTION", TypeKind::Char, true);
    }
};

const Table& table() {
    static const Table t;
    return t;
}

unsigned long long byte_swap(unsigned long long x, int bits) {
    unsigned long long r = 0;
    for (int i = 0; i < bits / 8; ++i) r = (r << 8) | ((x >> (8 * i)) & 0xff);
    return r;
}

int leading_zeros(unsigned long long x, int bits) {
    int n = 0;
    for (int i = bits - 1; i >= 0 && !((x >> i) & 1); --i) ++n;
    return n;
}

int trailing_zeros(unsigned long long x, int bits) {
    int n = 0;
    while (n < bits && !((x >> n) & 1)) ++n;
    return n;
}

int population(unsigned long long x) {
    int n = 0;
    for (; x; x &= x - 1) ++n;
    return n;
}

// The text of a string literal is empty, a decimal, octal or hexadecimal number.
bool nan_payload(std::string_view literal) {
    if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"') return false;
    std::string_view s = literal.substr(1, literal.size() - 2);
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    if (hex) s.remove_prefix(2);
    for (char ch : s)
        if (!(ch >= '0' && ch <= '9') && !(hex && ((ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F')))) return false;
    return true;
}

}  // namespace

const Builtin* find_builtin(std::string_view name) {
    const auto& entries = table().entries;
    const auto it = entries.find(std::string(name));
    return it == entries.end() ? nullptr : &it->second;
}

bool builtin_we_have(std::string_view name) {
    if (name == "__builtin_offsetof" || name == "__builtin_types_compatible_p") return true;
    const Builtin* b = find_builtin(name);
    return b && b->has_builtin;
}

// A call of a built-in function, its name read. The result type comes from the
// table (or from the arguments for __builtin_choose_expr and __builtin_complex);
// the call is a constant where the compiler folds it with constant arguments.
Expr* CParser::builtin_call(const Token& name, const Builtin& b) {
    const Words& w = words();
    Expr* callee = node(Expr::Op::Name, name.text);
    const Type* result = ctx_.types.basic(b.result);
    if (b.const_target) result = ctx_.types.qualified(result, kConst);
    if (b.pointer) result = ctx_.types.pointer_to(result);
    if (!is(w.lparen)) {  // the function itself, not called
        if (b.fold != F::ChooseExpr && b.fold != F::Complex) {
            Type fn;
            fn.kind = TypeKind::Function;
            fn.prototype = false;
            fn.base = result;
            callee->type = ctx_.types.make(fn);
        }
        return callee;
    }
    ++pos_;
    // The length of a string literal argument, -1 when it may hold a NUL of its own.
    long long literal_length = -1;
    if (b.fold == F::StringLength && peek().kind == TokKind::String) {
        literal_length = 0;
        for (std::size_t i = pos_; literal_length >= 0 && i < tokens_.size() && tokens_[i].kind == TokKind::String; ++i) {
            const std::string_view s = tokens_[i].view();
            const std::size_t slash = s.find('\\');
            const bool plain = s[0] == '"' || s.substr(0, 3) == "u8\"";
            if (!plain || (slash != std::string_view::npos && s.find_first_of("01234567xuU", slash) != std::string_view::npos))
                literal_length = -1;
            else literal_length += string_literal_length(s);
        }
    }
    Expr* call = call_arguments(callee);
    if (!call) return nullptr;
    const std::vector<Expr*> args(call->operands.begin() + 1, call->operands.end());
    const auto constant = [&](std::size_t i) {
        return i < args.size() && args[i]->is_constant && args[i]->op != Expr::Op::String;
    };
    // An argument converted to an integer of `bits` bits, unsigned.
    const auto integer = [&](std::size_t i, int bits, unsigned long long& out) {
        long long v = args[i]->value;
        if (args[i]->is_float && !from_floating(args[i]->fvalue, ctx_.types.basic(TypeKind::Long), v)) return false;
        out = bits >= 64 ? static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v) & ((1ull << bits) - 1);
        return true;
    };
    const auto real = [&](std::size_t i) {
        const Expr* a = args[i];
        if (a->is_float) return a->fvalue;
        return is_unsigned(a->type) ? static_cast<double>(static_cast<unsigned long long>(a->value))
                                    : static_cast<double>(a->value);
    };
    const auto integer_result = [&](long long v) {
        call->is_constant = true;
        call->value = normalize(v, call->type);
    };
    const auto real_result = [&](double v) {
        call->is_constant = true;
        call->is_float = true;
        call->fvalue = v;
    };
    call->type = result;
    switch (b.fold) {
    case F::ChooseExpr: {
        // The chosen operand itself, with its type, value and lvalue-ness.
        if (args.size() != 3 || !constant(0)) {
            call->type = nullptr;
            return call;
        }
        return (args[0]->is_float ? args[0]->fvalue != 0 : args[0]->value != 0) ? args[1] : args[2];
    }
    case F::Complex: {
        const Type* r = args.empty() ? nullptr : resolve(args[0]->type);
        call->type = r && is_floating(r) && !r->is_complex ? ctx_.types.complex_of(r->kind) : nullptr;
        return call;
    }
    case F::IsConstant:
        // Arithmetic and address constants and string literals; any other
        // expression is folded to 0 outside a function body.
        integer_result(!args.empty() && args[0]->is_constant);
        return call;
    case F::StringLength:
        if (literal_length >= 0) integer_result(literal_length);
        return call;
    case F::ClassifyType: {
        const Type* r = args.empty() ? nullptr : resolve(args[0]->type);
        if (!r) return call;
        if (r->kind == TypeKind::Pointer || r->kind == TypeKind::Array || r->kind == TypeKind::Function) integer_result(5);
        else if (r->kind == TypeKind::Struct) integer_result(12);
        else if (r->kind == TypeKind::Union) integer_result(13);
        else if (is_floating(r)) integer_result(r->is_complex ? 9 : 8);
        else if (is_integer(r)) integer_result(1);  // promoted: enumerations and _Bool too
        return call;
    }
    case F::Infinity: real_result(HUGE_VAL); return call;
    case F::NotANumber:
        // A payload the compiler cannot read as a number leaves the call unfolded.
        if (!args.empty() && args[0]->op == Expr::Op::String && nan_payload(args[0]->text)) real_result(std::nan(""));
        return call;
    default: break;
    }
    if (b.fold == F::None || !constant(0)) return call;
    unsigned long long x = 0;
    switch (b.fold) {
    case F::ByteSwap:
        if (integer(0, b.bits, x)) integer_result(static_cast<long long>(byte_swap(x, b.bits)));
        break;
    case F::LeadingZeros:
        if (integer(0, b.bits, x)) integer_result(leading_zeros(x, b.bits));
        break;
    case F::TrailingZeros:
        if (integer(0, b.bits, x)) integer_result(trailing_zeros(x, b.bits));
        break;
    case F::Population:
        if (integer(0, b.bits, x)) integer_result(population(x));
        break;
    case F::Parity:
        if (integer(0, b.bits, x)) integer_result(population(x) & 1);
        break;
    case F::FirstSet:
        if (integer(0, b.bits, x)) integer_result(x ? trailing_zeros(x, b.bits) + 1 : 0);
        break;
    case F::RedundantSign:
        if (integer(0, b.bits, x)) {
            const bool negative = (x >> (b.bits - 1)) & 1;
            const unsigned long long mask = b.bits >= 64 ? ~0ull : (1ull << b.bits) - 1;
            integer_result(leading_zeros(negative ? ~x & mask : x, b.bits) - 1);
        }
        break;
    case F::Expect: {
        long long v = args[0]->value;
        if (!args[0]->is_float || from_floating(args[0]->fvalue, call->type, v)) integer_result(v);
        break;
    }
    case F::IsNan: integer_result(std::isnan(real(0))); break;
    case F::IsInf: integer_result(std::isinf(real(0)) ? (real(0) < 0 ? -1 : 1) : 0); break;
    case F::IsFinite: integer_result(std::isfinite(real(0))); break;
    case F::SignBit: integer_result(std::signbit(real(0))); break;
    case F::IsNormal: {
        const Type* r = resolve(args[0]->type);
        const double v = real(0);
        integer_result(r && r->kind == TypeKind::Float ? std::isnormal(static_cast<float>(v)) : std::isnormal(v));
        break;
    }
    case F::Classify:
        // (nan, infinite, normal, subnormal, zero, x): the argument naming x's class.
        if (args.size() == 6 && constant(5)) {
            const Type* r = resolve(args[5]->type);
            const double v = real(5);
            const int c = r && r->kind == TypeKind::Float ? std::fpclassify(static_cast<float>(v)) : std::fpclassify(v);
            const std::size_t i = c == FP_NAN ? 0 : c == FP_INFINITE ? 1 : c == FP_NORMAL ? 2 : c == FP_SUBNORMAL ? 3 : 4;
            if (constant(i) && !args[i]->is_float) integer_result(args[i]->value);
        }
        break;
    case F::Fabs: real_result(std::fabs(real(0))); break;
    case F::Floor: real_result(std::floor(real(0))); break;
    case F::Ceil: real_result(std::ceil(real(0))); break;
    case F::Round: real_result(std::round(real(0))); break;
    case F::Trunc: real_result(std::trunc(real(0))); break;
    default:
        if (!constant(1)) break;
        if (b.fold == F::CopySign) real_result(std::copysign(real(0), real(1)));
        else if (b.fold == F::Greater) integer_result(std::isgreater(real(0), real(1)));
        else if (b.fold == F::GreaterEqual) integer_result(std::isgreaterequal(real(0), real(1)));
        else if (b.fold == F::Less) integer_result(std::isless(real(0), real(1)));
        else if (b.fold == F::LessEqual) integer_result(std::islessequal(real(0), real(1)));
        else if (b.fold == F::LessGreater) integer_result(std::islessgreater(real(0), real(1)));
        else if (b.fold == F::Unordered) integer_result(std::isunordered(real(0), real(1)));
        break;
    }
    return call;
}

}  // namespace zv::native
