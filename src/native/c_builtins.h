// Built-in functions of the C compiler that library headers use in macros:
// their result types and which of them fold to constants.
#pragma once

#include "native/c_types.h"

#include <cstdint>
#include <string_view>

namespace zv::native {

// How a call's value is computed when its arguments are constants.
enum class BuiltinFold : std::uint8_t {
    None, Infinity, NotANumber, ByteSwap, LeadingZeros, TrailingZeros, Population, Parity, FirstSet, RedundantSign,
    Expect, IsConstant, StringLength, ClassifyType, IsNan, IsInf, IsFinite, IsNormal, SignBit, Classify, Fabs,
    CopySign, Floor, Ceil, Round, Trunc, Greater, GreaterEqual, Less, LessEqual, LessGreater, Unordered,
    // Typed by their arguments rather than by the table.
    ChooseExpr, Complex
};

struct Builtin {
    TypeKind result = TypeKind::Int;  // the pointer target when `pointer`
    bool pointer = false;
    bool const_target = false;        // const char *
    int bits = 0;                     // width of the integer argument of a bit operation
    BuiltinFold fold = BuiltinFold::None;
    bool has_builtin = true;          // the answer of __has_builtin, 0 for the compiler's reserved words
};

// The built-in of that name, null when we do not model it.
const Builtin* find_builtin(std::string_view name);

// The answer of `__has_builtin(name)`: 1 for the built-ins modelled here and
// for the ones read as keywords (__builtin_offsetof, __builtin_types_compatible_p).
bool builtin_we_have(std::string_view name);

}  // namespace zv::native
