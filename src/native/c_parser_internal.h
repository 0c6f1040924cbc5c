// Keyword table and declaration-specifier records shared by the two halves of
// the C parser (declarations and expressions).
#pragma once

#include "native/c_parser.h"

namespace zv::native {

enum class CParser::Kw : std::uint8_t {
    None, Typedef, Extern, Static, Auto, Register, Thread, Inline, Noreturn, Attribute, Asm, Extension,
    Const, Volatile, Restrict, Atomic, Void, Char, Short, Int, Long, Float, Double, Signed, Unsigned, Bool,
    Complex, Int128, Float128, Float32, Float64, Float32x, Float64x, Float128n, Struct, Union, Enum, Typeof,
    VaList, Alignas, Alignof, Sizeof, StaticAssert, Offsetof, TypesCompatible, VaArg, Pragma, Generic,
    AutoType
};

// The keyword table (pooled texts), made now rather than on first use.
void build_pooled_keyword_table();

struct CParser::Attributes {
    bool packed = false;
    long long align = 0;
    int mode = 0;  // bytes given by a mode attribute, 0 when none
};

struct CParser::DeclSpec {
    enum class Storage : std::uint8_t { None, Typedef, Extern, Static, Auto, Register };
    Storage storage = Storage::None;
    const Type* type = nullptr;
    std::uint8_t quals = 0;
    bool any = false;  // at least one specifier was read
    Attributes attrs;
    const Token* first = nullptr;
};

struct CParser::Declared {
    const char* name = nullptr;
    const Token* token = nullptr;
};

}  // namespace zv::native
