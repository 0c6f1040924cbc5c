// Expressions: reading, typing with the usual conversions, and evaluation of
// integer and floating constants.
#include "common/string_pool.h"
#include "native/c_builtins.h"
#include "native/c_lexer.h"
#include "native/c_parser_internal.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace zv::native {

namespace {

int precedence(const char* op) {
    const Words& w = words();
    if (op == w.oror) return 1;
    if (op == w.andand) return 2;
    if (op == w.pipe) return 3;
    if (op == w.caret) return 4;
    if (op == w.amp) return 5;
    if (op == w.eq || op == w.ne) return 6;
    if (op == w.lt || op == w.gt || op == w.le || op == w.ge) return 7;
    if (op == w.shl || op == w.shr) return 8;
    if (op == w.plus || op == w.minus) return 9;
    if (op == w.star || op == w.slash || op == w.percent) return 10;
    return 0;
}

bool assignment_operator(std::string_view op) {
    return op == "=" || op == "*=" || op == "/=" || op == "%=" || op == "+=" || op == "-=" || op == "<<=" ||
           op == ">>=" || op == "&=" || op == "^=" || op == "|=";
}

int rank(TypeKind k) {
    switch (k) {
    case TypeKind::Bool: return 1;
    case TypeKind::Char: case TypeKind::SChar: case TypeKind::UChar: return 2;
    case TypeKind::Short: case TypeKind::UShort: return 3;
    case TypeKind::Int: case TypeKind::UInt: return 4;
    case TypeKind::Long: case TypeKind::ULong: return 5;
    case TypeKind::LongLong: case TypeKind::ULongLong: return 6;
    case TypeKind::Int128: case TypeKind::UInt128: return 7;
    default: return 4;
    }
}

TypeKind unsigned_of(TypeKind k) {
    switch (k) {
    case TypeKind::Int: return TypeKind::UInt;
    case TypeKind::Long: return TypeKind::ULong;
    case TypeKind::LongLong: return TypeKind::ULongLong;
    case TypeKind::Int128: return TypeKind::UInt128;
    default: return k;
    }
}

}  // namespace

Expr* CParser::node(Expr::Op op, const char* text) {
    Expr* e = tree_->make();
    e->op = op;
    e->text = text;
    return e;
}

Expr* CParser::constant_node(long long value, const Type* type) {
    Expr* e = node(Expr::Op::Constant, "");
    e->type = type;
    e->is_constant = true;
    e->value = normalize(value, type);
    return e;
}

long long CParser::normalize(long long value, const Type* type) const {
    const Type* r = resolve(type);
    if (!r || !is_integer(r)) return value;
    if (r->kind == TypeKind::Bool) return value != 0;
    const long long size = size_of(r);
    if (size >= 8) return value;
    const int bits = static_cast<int>(size * 8);
    const unsigned long long mask = (1ull << bits) - 1;
    unsigned long long v = static_cast<unsigned long long>(value) & mask;
    if (!is_unsigned(r) && (v >> (bits - 1)) & 1) v |= ~mask;
    return static_cast<long long>(v);
}

// A floating value converted to an integer type as the C compiler folds it:
// towards zero, a value beyond the type's range giving its nearest bound. An
// infinity or a NaN gives no constant (false).
bool CParser::from_floating(double value, const Type* type, long long& out) const {
    if (!is_integer(type) || !std::isfinite(value)) return false;
    if (type->kind == TypeKind::Bool) {
        out = value != 0;
        return true;
    }
    const int bits = static_cast<int>(std::clamp(size_of(type), 1LL, 8LL) * 8);
    const bool is_u = is_unsigned(type);
    const double below = is_u ? -1.0 : -std::ldexp(1.0, bits - 1) - 1.0;  // values past the bounds
    const double above = std::ldexp(1.0, is_u ? bits : bits - 1);
    if (value <= below) {
        out = is_u ? 0 : bits == 64 ? LLONG_MIN : -(1LL << (bits - 1));
    } else if (value >= above) {
        if (is_u) out = bits == 64 ? -1 : static_cast<long long>((1ULL << bits) - 1);
        else out = bits == 64 ? LLONG_MAX : (1LL << (bits - 1)) - 1;
    } else {
        out = value >= 0 ? static_cast<long long>(static_cast<unsigned long long>(value))
                         : static_cast<long long>(value);
    }
    return true;
}

const Type* CParser::promoted(const Type* t) {
    const Type* r = resolve(t);
    if (!r) return nullptr;
    if (r->kind == TypeKind::Enum) return r->record && r->record->enum_base && rank(r->record->enum_base->kind) >= 4 ? r->record->enum_base : ctx_.types.basic(TypeKind::Int);
    if (is_integer(r) && rank(r->kind) < 4) return ctx_.types.basic(TypeKind::Int);
    return ctx_.types.basic(r->kind) && !r->is_complex && is_arithmetic(r) ? ctx_.types.basic(r->kind) : r;
}

const Type* CParser::arithmetic_result(const Type* a, const Type* b) {
    const Type* ra = resolve(a);
    const Type* rb = resolve(b);
    if (!ra || !rb) return nullptr;
    if (is_floating(ra) || is_floating(rb)) {
        const TypeKind ka = is_floating(ra) ? ra->kind : TypeKind::Void;
        const TypeKind kb = is_floating(rb) ? rb->kind : TypeKind::Void;
        const TypeKind k = ka > kb ? ka : kb;
        return ra->is_complex || rb->is_complex ? ctx_.types.complex_of(k) : ctx_.types.basic(k);
    }
    const Type* pa = promoted(ra);
    const Type* pb = promoted(rb);
    if (pa->kind == pb->kind) return pa;
    const bool ua = is_unsigned(pa), ub = is_unsigned(pb);
    if (ua == ub) return rank(pa->kind) >= rank(pb->kind) ? pa : pb;
    const Type* u = ua ? pa : pb;
    const Type* s = ua ? pb : pa;
    if (rank(u->kind) >= rank(s->kind)) return u;
    if (size_of(s) > size_of(u)) return s;
    return ctx_.types.basic(unsigned_of(s->kind));
}

static const Type* decay(TypeTable& types, const Type* t) {
    const Type* r = resolve(t);
    if (!r) return nullptr;
    if (r->kind == TypeKind::Array) return types.pointer_to(r->base);
    if (r->kind == TypeKind::Function) return types.pointer_to(t);
    return t;
}

Expr* CParser::cast_to(const Type* type, Expr* e) {
    Expr* c = node(Expr::Op::Cast, "");
    c->type = type;
    c->operands.push_back(e);
    if (e->is_constant && e->op != Expr::Op::String) {
        const Type* r = resolve(type);
        if (is_integer(r)) {
            if (!e->is_float) c->value = normalize(e->value, type);
            c->is_constant = !e->is_float || from_floating(e->fvalue, r, c->value);
        } else if (is_floating(r)) {
            c->is_constant = true;
            c->is_float = true;
            c->fvalue = e->is_float ? e->fvalue : (is_unsigned(e->type) ? static_cast<double>(static_cast<unsigned long long>(e->value)) : static_cast<double>(e->value));
        } else if (r && r->kind == TypeKind::Pointer && !e->is_float) {
            c->is_constant = true;  // an address constant such as (void *)0
            c->value = e->value;
        }
    }
    return c;
}

Expr* CParser::parse_expression(ExprTree& tree) {
    tree_ = &tree;
    failed_ = false;
    Expr* e = expression();
    if (!failed_ && !at_end()) syntax_error("the end of the expression");
    tree_ = nullptr;
    if (failed_) return nullptr;
    tree.root = e;
    return e;
}

Expr* CParser::expression() {
    Expr* e = assignment();
    while (e && !failed_ && is(words().comma)) {
        ++pos_;
        Expr* r = assignment();
        if (!r) return nullptr;
        Expr* c = node(Expr::Op::Comma, words().comma);
        c->operands = {e, r};
        c->type = decay(ctx_.types, r->type);  // a value, no longer an array or a function
        e = c;
    }
    return failed_ ? nullptr : e;
}

Expr* CParser::assignment() {
    Expr* left = conditional();
    if (!left || failed_) return nullptr;
    if (peek().kind == TokKind::Punct && assignment_operator(peek().view())) {
        const Token& op = peek();
        ++pos_;
        const Nesting nesting(*this, "expression");
        if (!nesting.ok) return nullptr;
        Expr* right = assignment();
        if (!right) return nullptr;
        Expr* e = node(Expr::Op::Binary, op.text);
        e->operands = {left, right};
        e->type = left->type;
        return e;
    }
    return left;
}

Expr* CParser::conditional() {
    const Words& w = words();
    Expr* c = binary(1);
    if (!c || failed_ || !accept(w.question)) return c;
    const Nesting nesting(*this, "expression");
    if (!nesting.ok) return nullptr;
    Expr* a = is(w.colon) ? c : expression();  // "x ?: y"
    if (!a || !expect(w.colon, "':'")) return nullptr;
    Expr* b = conditional();
    if (!b) return nullptr;
    Expr* e = node(Expr::Op::Conditional, w.question);
    e->operands = {c, a, b};
    const Type* ta = decay(ctx_.types, a->type);
    const Type* tb = decay(ctx_.types, b->type);
    if (is_arithmetic(ta) && is_arithmetic(tb)) e->type = arithmetic_result(ta, tb);
    else if (is_pointer_like(ta) && !(b->is_constant && !is_pointer_like(tb))) e->type = ta;
    else e->type = tb ? tb : ta;
    // The branch not taken need not be constant.
    const bool take = c->is_float ? c->fvalue != 0 : c->value != 0;
    Expr* chosen = take ? a : b;
    if (c->is_constant && chosen->is_constant && chosen->op != Expr::Op::String) {
        e->is_constant = true;
        e->is_float = is_floating(e->type);
        if (e->is_float) e->fvalue = chosen->is_float ? chosen->fvalue : static_cast<double>(chosen->value);
        else if (!chosen->is_float) e->value = normalize(chosen->value, e->type);
        else e->is_constant = from_floating(chosen->fvalue, resolve(e->type), e->value);
    }
    return e;
}

Expr* CParser::binary(int min) {
    Expr* left = cast();
    while (left && !failed_) {
        const Token& op = peek();
        const int prec = op.kind == TokKind::Punct ? precedence(op.text) : 0;
        if (prec == 0 || prec < min) break;
        ++pos_;
        Expr* right = binary(prec + 1);
        if (!right) return nullptr;
        left = binary_node(op, left, right);
    }
    return left;
}

Expr* CParser::binary_node(const Token& op, Expr* a, Expr* b) {
    const Words& w = words();
    const char* o = op.text;
    Expr* e = node(Expr::Op::Binary, o);
    e->operands = {a, b};
    const Type* ta = decay(ctx_.types, a->type);
    const Type* tb = decay(ctx_.types, b->type);
    const bool comparison = o == w.lt || o == w.gt || o == w.le || o == w.ge || o == w.eq || o == w.ne;
    const bool logical = o == w.andand || o == w.oror;
    const bool shift = o == w.shl || o == w.shr;
    if (comparison || logical) {
        e->type = ctx_.types.basic(TypeKind::Int);
    } else if (is_arithmetic(ta) && is_arithmetic(tb)) {
        e->type = shift ? promoted(ta) : arithmetic_result(ta, tb);
    } else if ((o == w.plus || o == w.minus) && is_pointer_like(ta) && is_integer(tb)) {
        e->type = ta;
    } else if (o == w.plus && is_integer(ta) && is_pointer_like(tb)) {
        e->type = tb;
    } else if (o == w.minus && is_pointer_like(ta) && is_pointer_like(tb)) {
        e->type = ctx_.types.basic(TypeKind::Long);
    } else if (ta && tb) {
        error_at(op, Code::CBADOPERD, std::string(op.view()));
        failed_ = true;
        return nullptr;
    }
    if (!(a->is_constant && b->is_constant) || a->op == Expr::Op::String || b->op == Expr::Op::String) return e;
    const bool floating = a->is_float || b->is_float;
    if (floating) {
        const double x = a->is_float ? a->fvalue : static_cast<double>(a->value);
        const double y = b->is_float ? b->fvalue : static_cast<double>(b->value);
        e->is_constant = true;
        if (comparison || logical) {
            const bool r = o == w.lt ? x < y : o == w.gt ? x > y : o == w.le ? x <= y : o == w.ge ? x >= y
                         : o == w.eq ? x == y : o == w.ne ? x != y : o == w.andand ? (x != 0 && y != 0) : (x != 0 || y != 0);
            e->value = r;
        } else if (o == w.plus || o == w.minus || o == w.star || o == w.slash) {
            e->is_float = true;
            e->fvalue = o == w.plus ? x + y : o == w.minus ? x - y : o == w.star ? x * y : x / y;
        } else {
            e->is_constant = false;
        }
        return e;
    }
    const Type* work = comparison ? arithmetic_result(ta, tb) : e->type;
    const bool u = work && is_unsigned(work);
    const long long x = a->value, y = b->value;
    const unsigned long long ux = static_cast<unsigned long long>(x), uy = static_cast<unsigned long long>(y);
    long long r = 0;
    if (o == w.plus) r = static_cast<long long>(ux + uy);
    else if (o == w.minus) r = static_cast<long long>(ux - uy);
    else if (o == w.star) r = static_cast<long long>(ux * uy);
    else if (o == w.slash || o == w.percent) {
        if (y == 0) {
            e->is_constant = false;
            return e;
        }
        if (u) r = static_cast<long long>(o == w.slash ? ux / uy : ux % uy);
        else if (x == LLONG_MIN && y == -1) r = o == w.slash ? x : 0;
        else r = o == w.slash ? x / y : x % y;
    } else if (shift) {
        if (y < 0 || y >= 64) r = 0;
        else if (o == w.shl) r = static_cast<long long>(ux << y);
        else r = is_unsigned(e->type) ? static_cast<long long>(static_cast<unsigned long long>(normalize(x, e->type)) >> y) : (x >> y);
    } else if (o == w.amp) r = x & y;
    else if (o == w.pipe) r = x | y;
    else if (o == w.caret) r = x ^ y;
    else if (o == w.andand) r = x && y;
    else if (o == w.oror) r = x || y;
    else {
        const long long nx = work ? normalize(x, work) : x, ny = work ? normalize(y, work) : y;
        const unsigned long long unx = static_cast<unsigned long long>(nx), uny = static_cast<unsigned long long>(ny);
        if (o == w.eq) r = nx == ny;
        else if (o == w.ne) r = nx != ny;
        else if (o == w.lt) r = u ? unx < uny : nx < ny;
        else if (o == w.gt) r = u ? unx > uny : nx > ny;
        else if (o == w.le) r = u ? unx <= uny : nx <= ny;
        else r = u ? unx >= uny : nx >= ny;
    }
    e->is_constant = true;
    e->value = e->type ? normalize(r, e->type) : r;
    return e;
}

Expr* CParser::cast() {
    const Words& w = words();
    const Nesting nesting(*this, "expression");
    if (!nesting.ok) return nullptr;
    if (is(w.lparen) && starts_type(1)) {
        ++pos_;
        const Type* type = type_name();
        if (!type || !expect(w.rparen, "')' after a type name")) return nullptr;
        if (is(w.lbrace)) {  // compound literal; an array of unknown size takes its size from the list
            const Type* r = resolve(type);
            if (r && r->kind == TypeKind::Array && r->count < 0) {
                const long long count = initializer_count(r->base);
                if (count > 0) type = ctx_.types.qualified(ctx_.types.array_of(r->base, count), qualifiers_of(type));
            }
            skip_balanced();
            Expr* e = node(Expr::Op::Other, "");
            e->type = type;
            return postfix(e);
        }
        Expr* e = cast();
        return e ? cast_to(type, e) : nullptr;
    }
    return unary();
}

Expr* CParser::unary() {
    const Words& w = words();
    const Token& t = peek();
    const Kw kw = keyword(t);
    if (kw == Kw::Extension) {
        ++pos_;
        return cast();
    }
    if (kw == Kw::Sizeof || kw == Kw::Alignof) {
        ++pos_;
        const Type* type = nullptr;
        bool of_type = false, literal = false;
        if (is(w.lparen) && starts_type(1)) {
            ++pos_;
            type = type_name();
            if (!type || !expect(w.rparen, "')'")) return nullptr;
            literal = is(w.lbrace);  // a compound literal: its initialiser completes the type
            of_type = !literal;
            if (literal) skip_balanced();
        } else {
            Expr* e = unary();
            if (!e) return nullptr;
            type = e->type;
        }
        // Neither has a value for an incomplete type; void and functions
        // count as 1. The alignment of an object is asked of its type only
        // when the type is named.
        const Type* r = resolve(type);
        if (r && r->kind != TypeKind::Void && !literal && !is_complete(r) && (kw == Kw::Sizeof || of_type)) {
            error_at(t, Code::CBADOPERD, std::string(t.view()) + " of the incomplete type " + type_text(type));
            failed_ = true;
            return nullptr;
        }
        Expr* e = node(Expr::Op::Other, t.text);
        e->type = ctx_.types.basic(TypeKind::ULong);
        const long long n = kw == Kw::Sizeof ? size_of(type) : align_of(type);
        if (type && n >= 0) {
            e->is_constant = true;
            e->value = n;
        }
        return e;
    }
    if (t.kind == TokKind::Punct && (t.text == w.amp || t.text == w.star || t.text == w.plus || t.text == w.minus ||
                                     t.text == w.tilde || t.text == w.excl || t.view() == "++" || t.view() == "--")) {
        ++pos_;
        Expr* a = cast();
        if (!a) return nullptr;
        Expr* e = node(Expr::Op::Unary, t.text);
        e->operands.push_back(a);
        const Type* ta = a->type;
        if (t.text == w.amp) {
            e->type = ta ? ctx_.types.pointer_to(ta) : nullptr;
        } else if (t.text == w.star) {
            const Type* r = resolve(decay(ctx_.types, ta));
            e->type = r && r->kind == TypeKind::Pointer ? r->base : nullptr;
            if (r && r->kind != TypeKind::Pointer) {
                error_at(t, Code::CBADOPERD, "*");
                failed_ = true;
                return nullptr;
            }
        } else if (t.text == w.excl) {
            e->type = ctx_.types.basic(TypeKind::Int);
            if (a->is_constant) e->is_constant = true, e->value = a->is_float ? a->fvalue == 0 : a->value == 0;
        } else if (t.view() == "++" || t.view() == "--") {
            e->type = ta;
        } else {
            e->type = is_integer(ta) ? promoted(ta) : ta;
            if (a->is_constant && a->op != Expr::Op::String) {
                e->is_constant = true;
                e->is_float = a->is_float;
                if (t.text == w.minus) {
                    e->fvalue = -a->fvalue;
                    e->value = normalize(static_cast<long long>(0ull - static_cast<unsigned long long>(a->value)), e->type);
                } else if (t.text == w.tilde) {
                    e->value = normalize(~a->value, e->type);
                    e->is_constant = !a->is_float;
                } else {
                    e->fvalue = a->fvalue;
                    e->value = a->value;
                }
            }
        }
        return e;
    }
    Expr* p = primary();
    return p ? postfix(p) : nullptr;
}

Expr* CParser::call_arguments(Expr* callee) {
    const Words& w = words();
    Expr* call = node(Expr::Op::Call, w.lparen);
    call->operands.push_back(callee);
    // Every comma is followed by an argument: "f(1,)" is no call.
    if (!is(w.rparen)) {
        do {
            Expr* arg = assignment();
            if (!arg) return nullptr;
            call->operands.push_back(arg);
        } while (!failed_ && accept(w.comma));
    }
    if (!expect(w.rparen, "')' after the arguments")) return nullptr;
    return call;
}

Expr* CParser::postfix(Expr* e) {
    const Words& w = words();
    while (e && !failed_) {
        const Token& t = peek();
        if (accept(w.lbracket)) {
            Expr* index = expression();
            if (!index || !expect(w.rbracket, "']'")) return nullptr;
            Expr* x = node(Expr::Op::Index, w.lbracket);
            x->operands = {e, index};
            const Type* base = resolve(decay(ctx_.types, e->type));
            const Type* other = resolve(decay(ctx_.types, index->type));
            if (base && base->kind == TypeKind::Pointer) x->type = base->base;
            else if (other && other->kind == TypeKind::Pointer) x->type = other->base;
            else if (base) {
                error_at(t, Code::CBADOPERD, "[]");
                failed_ = true;
                return nullptr;
            }
            e = x;
        } else if (accept(w.lparen)) {
            Expr* call = call_arguments(e);
            if (!call) return nullptr;
            const Type* f = resolve(e->type);
            if (f && f->kind == TypeKind::Pointer) f = resolve(f->base);
            if (f && f->kind == TypeKind::Function) call->type = f->base;
            else if (f) {
                error_at(t, Code::CBADOPERD, "()");
                failed_ = true;
                return nullptr;
            }
            e = call;
        } else if (t.text == w.dot || t.text == w.arrow) {
            ++pos_;
            const Token& name = peek();
            if (name.kind != TokKind::Ident) {
                syntax_error("a member name");
                return nullptr;
            }
            ++pos_;
            const Type* r = resolve(e->type);
            if (r && t.text == w.arrow) r = r->kind == TypeKind::Pointer || r->kind == TypeKind::Array ? resolve(r->base) : nullptr;
            Expr* m = node(Expr::Op::Member, name.text);
            m->operands.push_back(e);
            if (e->type) {
                long long offset = 0;
                const Field* f = r && r->record && r->kind != TypeKind::Enum ? find_field(*r->record, name.text, offset) : nullptr;
                if (!f) {
                    error_at(name, Code::CNOMEMBER, std::string(name.view()));
                    failed_ = true;
                    return nullptr;
                }
                m->type = ctx_.types.qualified(f->type, qualifiers_of(r));
            }
            e = m;
        } else if (t.view() == "++" || t.view() == "--") {
            ++pos_;
            Expr* x = node(Expr::Op::Unary, t.text);
            x->operands.push_back(e);
            x->type = e->type;
            e = x;
        } else {
            break;
        }
    }
    return failed_ ? nullptr : e;
}

Expr* CParser::number(const Token& t) {
    const NumberLiteral n = parse_number(t.view());
    if (!n.valid) {
        syntax_error("a valid number");
        return nullptr;
    }
    Expr* e = node(Expr::Op::Constant, t.text);
    e->is_constant = true;
    if (n.is_float) {
        e->is_float = true;
        e->fvalue = n.fvalue;
        e->type = ctx_.types.basic(n.float_suffix == 'f' ? TypeKind::Float : n.float_suffix == 'l' ? TypeKind::LongDouble : TypeKind::Double);
        return e;
    }
    // The first type of the list that holds the value.
    const unsigned long long v = n.value;
    TypeKind k;
    const bool fits_int = v <= INT_MAX, fits_uint = v <= UINT_MAX, fits_long = v <= LLONG_MAX;
    if (n.is_unsigned) k = n.longs == 0 && fits_uint ? TypeKind::UInt : n.longs == 2 ? TypeKind::ULongLong : TypeKind::ULong;
    else if (n.longs == 2) k = fits_long ? TypeKind::LongLong : TypeKind::ULongLong;
    else if (n.longs == 1) k = fits_long ? TypeKind::Long : TypeKind::ULong;
    else if (fits_int) k = TypeKind::Int;
    else if (!n.decimal && fits_uint) k = TypeKind::UInt;
    else if (fits_long) k = TypeKind::Long;
    else k = TypeKind::ULong;
    e->type = ctx_.types.basic(k);
    e->value = static_cast<long long>(v);
    return e;
}

Expr* CParser::character(const Token& t) {
    long long v = 0;
    if ((t.flags & kUnterminated) || !char_constant_value(t.view(), v)) {
        syntax_error("a valid character constant");
        return nullptr;
    }
    Expr* e = constant_node(v, ctx_.types.basic(TypeKind::Int));
    e->text = t.text;
    return e;
}

Expr* CParser::string_literal() {
    long long length = 0;
    TypeKind element = TypeKind::Char;
    const char* text = peek().text;
    while (peek().kind == TokKind::String) {
        const std::string_view s = peek().view();
        if (s[0] == 'L' || s[0] == 'U') element = TypeKind::Int;
        else if (s[0] == 'u' && s.size() > 1 && s[1] != '8') element = TypeKind::UShort;
        length += string_literal_length(s);
        ++pos_;
    }
    Expr* e = node(Expr::Op::String, text);
    e->type = ctx_.types.array_of(ctx_.types.basic(element), length + 1);
    e->is_constant = true;
    return e;
}

Expr* CParser::offsetof_expr() {
    const Words& w = words();
    if (!expect(w.lparen, "'('")) return nullptr;
    const Type* type = type_name();
    if (!type || !expect(w.comma, "','")) return nullptr;
    long long offset = 0;
    bool known = true;
    const Type* current = type;
    for (bool first = true;; first = false) {
        if (first || accept(w.dot)) {
            const Token& name = peek();
            if (name.kind != TokKind::Ident) {
                syntax_error("a member name");
                return nullptr;
            }
            ++pos_;
            const Type* r = resolve(current);
            const Field* f = r && r->record ? find_field(*r->record, name.text, offset) : nullptr;
            if (!f) {
                error_at(name, Code::CNOMEMBER, std::string(name.view()));
                failed_ = true;
                return nullptr;
            }
            current = f->type;
        } else if (accept(w.lbracket)) {
            const long long index = constant("array index", false);
            if (!expect(w.rbracket, "']'")) return nullptr;
            const Type* r = resolve(current);
            if (!r || r->kind != TypeKind::Array) {
                syntax_error("an array member");
                return nullptr;
            }
            if (index < 0) known = false;
            offset += index * std::max(0LL, size_of(r->base));
            current = r->base;
        } else {
            break;
        }
    }
    if (!expect(w.rparen, "')'")) return nullptr;
    Expr* e = node(Expr::Op::Other, "offsetof");
    e->type = ctx_.types.basic(TypeKind::ULong);
    e->is_constant = known;
    e->value = offset;
    return e;
}

// "({ ... })": typed by its last expression statement.
Expr* CParser::statement_expression() {
    const Words& w = words();
    pos_ += 2;
    ctx_.symbols.push_block();
    std::size_t last_start = 0, last_end = 0;
    bool last_is_expression = false;
    while (!failed_ && !at_end() && !is(w.rbrace)) {
        if (starts_type() && !(is(w.lparen))) {
            DeclSpec specs;
            decl_specifiers(specs, true);
            if (!accept(w.semicolon)) {
                do {
                    Declared d;
                    const Type* type = declarator(specs.type, d, false);
                    attributes(nullptr);
                    if (accept(w.assign)) skip_initializer();
                    if (d.name && !failed_) declare(specs, d, type);
                } while (!failed_ && accept(w.comma));
                expect(w.semicolon, "';'");
            }
            last_is_expression = false;
            continue;
        }
        const std::size_t start = pos_;
        const bool keyword_statement = peek().kind == TokKind::Ident && keyword(peek()) == Kw::None &&
                                       (peek().view() == "if" || peek().view() == "while" || peek().view() == "for" ||
                                        peek().view() == "do" || peek().view() == "return" || peek().view() == "switch" ||
                                        peek().view() == "goto" || peek().view() == "break" || peek().view() == "continue");
        int depth = 0;
        bool ended_by_brace = false;
        while (!at_end()) {
            const char* t = peek().text;
            if (depth == 0 && t == w.semicolon) break;
            if (depth == 0 && t == w.rbrace) break;
            if (t == w.lparen || t == w.lbracket || t == w.lbrace) ++depth;
            else if (t == w.rparen || t == w.rbracket || t == w.rbrace) {
                --depth;
                if (depth == 0 && t == w.rbrace && !is(w.rparen, 1)) {
                    ++pos_;
                    ended_by_brace = true;
                    break;
                }
            }
            ++pos_;
        }
        if (ended_by_brace) {
            last_is_expression = false;
            continue;
        }
        last_start = start;
        last_end = pos_;
        last_is_expression = !keyword_statement && pos_ > start;
        accept(w.semicolon);
    }
    const std::size_t after = pos_;
    Expr* e = node(Expr::Op::Other, "({");
    e->type = ctx_.types.basic(TypeKind::Void);
    if (last_is_expression) {
        pos_ = last_start;
        Expr* value = expression();
        if (value && pos_ == last_end) e->type = value->type;
        failed_ = false;
    }
    pos_ = after;
    ctx_.symbols.pop_block();
    if (!expect(w.rbrace, "'}'") || !expect(w.rparen, "')'")) return nullptr;
    return e;
}

Expr* CParser::primary() {
    const Words& w = words();
    const Token& t = peek();
    switch (t.kind) {
    case TokKind::Number: ++pos_; return number(t);
    case TokKind::Char: ++pos_; return character(t);
    case TokKind::String: return string_literal();
    default: break;
    }
    if (t.text == w.lparen) {
        if (is(w.lbrace, 1)) return statement_expression();
        ++pos_;
        Expr* e = expression();
        if (!e || !expect(w.rparen, "')'")) return nullptr;
        return e;
    }
    if (t.kind != TokKind::Ident) {
        syntax_error("an expression");
        return nullptr;
    }
    const Kw kw = keyword(t);
    if (kw == Kw::Offsetof) {
        ++pos_;
        return offsetof_expr();
    }
    if (kw == Kw::TypesCompatible) {
        ++pos_;
        if (!expect(w.lparen, "'('")) return nullptr;
        const Type* a = type_name();
        if (!a || !expect(w.comma, "','")) return nullptr;
        const Type* b = type_name();
        if (!b || !expect(w.rparen, "')'")) return nullptr;
        const bool same = same_type(a, b) && (qualifiers_of(a) & ~kRestrict) == (qualifiers_of(b) & ~kRestrict);
        return constant_node(same ? 1 : 0, ctx_.types.basic(TypeKind::Int));
    }
    if (kw == Kw::VaArg) {
        ++pos_;
        if (!expect(w.lparen, "'('")) return nullptr;
        if (!assignment() || !expect(w.comma, "','")) return nullptr;
        const Type* type = type_name();
        if (!type || !expect(w.rparen, "')'")) return nullptr;
        Expr* e = node(Expr::Op::Other, t.text);
        e->type = type;
        return e;
    }
    if (kw == Kw::Generic) {
        ++pos_;
        if (!expect(w.lparen, "'('")) return nullptr;
        Expr* control = assignment();
        if (!control) return nullptr;
        const Type* ct = decay(ctx_.types, control->type);
        Expr* chosen = nullptr;
        Expr* fallback = nullptr;
        while (!failed_ && accept(w.comma)) {
            const Type* at = nullptr;
            const bool is_default = peek().view() == "default";
            if (is_default) ++pos_;
            else at = type_name();
            if (!expect(w.colon, "':'")) return nullptr;
            Expr* value = assignment();
            if (!value) return nullptr;
            if (is_default) fallback = value;
            else if (!chosen && same_type(at, ct)) chosen = value;
        }
        if (!expect(w.rparen, "')'")) return nullptr;
        return chosen ? chosen : fallback ? fallback : node(Expr::Op::Other, t.text);
    }
    if (kw != Kw::None) {
        syntax_error("an expression");
        return nullptr;
    }
    ++pos_;
    const Symbol* s = ctx_.symbols.find(t.text);
    if (s && s->kind == Symbol::Kind::Typedef) {
        --pos_;
        syntax_error("an expression");
        return nullptr;
    }
    if (!s) {
        if (t.view().substr(0, 10) == "__builtin_") {
            if (const Builtin* b = find_builtin(t.view())) return builtin_call(t, *b);
            // A compiler built-in we do not model: an untyped name. A call of it
            // is read without a message (headers use such built-ins in macros
            // and inline bodies) but has no type and no value: it is no
            // constant, its type texts are empty and type questions answer as
            // for any expression without type information. Taking it for a
            // function returning int would give wrong answers silently, since
            // most built-ins return something else.
            return node(Expr::Op::Name, t.text);
        }
        error_at(t, Code::CUNDECLID, std::string(t.view()));
        failed_ = true;
        return nullptr;
    }
    if (s->kind == Symbol::Kind::EnumConstant) {
        Expr* e = constant_node(s->value, s->type);
        e->text = t.text;
        e->symbol = s;
        return e;
    }
    Expr* e = node(Expr::Op::Name, t.text);
    e->symbol = s;
    e->type = s->type;
    return e;
}

}  // namespace zv::native
