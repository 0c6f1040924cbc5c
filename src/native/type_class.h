// Type classes: the small integers by which the semantic analysis compares C
// types, and their compatibility rule.
#pragma once

namespace zv::native {

struct Type;

enum TypeClass : int {
    kNoType = -1,
    kOtherIntegral = 0,  // enumerations and integral types other than char, int and long
    kCharacter = 1,
    kInteger = 2,        // also an expression without type information
    kLongInteger = 3,
    kFloating = 4,       // floating types other than double
    kDouble = 5,
    kCharPointer = 6,
    kCharArray = 7,
    kNonNil = 8,
    kPointer = 9,
    kStructure = 10,
    kArray = 11,
    kUnion = 12,
    kUnnamed = 13,
    kVoid = 14,
    kEllipsis = 15,
    kUnresolved = 17,
};

// Class of a type (typedefs resolved, qualifiers ignored); kNoType for null.
int type_class(const Type* type);
// Whether a given class `given` may stand where class `expected` is wanted.
bool compatible_classes(int expected, int given);

}  // namespace zv::native
