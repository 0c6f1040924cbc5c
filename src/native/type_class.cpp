#include "native/type_class.h"

#include "native/c_types.h"

namespace zv::native {

namespace {

bool character(const Type* type) {
    const Type* r = resolve(type);
    return r && !r->is_complex && (r->kind == TypeKind::Char || r->kind == TypeKind::SChar || r->kind == TypeKind::UChar);
}

}  // namespace

int type_class(const Type* type) {
    const Type* r = resolve(type);
    if (!r) return kNoType;
    switch (r->kind) {
    case TypeKind::Void: return kVoid;
    case TypeKind::Char: case TypeKind::SChar: case TypeKind::UChar: return kCharacter;
    case TypeKind::Int: case TypeKind::UInt: return kInteger;
    case TypeKind::Long: case TypeKind::ULong: case TypeKind::LongLong: case TypeKind::ULongLong: return kLongInteger;
    case TypeKind::Double: return r->is_complex ? kFloating : kDouble;
    case TypeKind::Float: case TypeKind::LongDouble: case TypeKind::Float32: case TypeKind::Float64:
    case TypeKind::Float32x: case TypeKind::Float64x: case TypeKind::Float128:
        return kFloating;
    case TypeKind::Bool: case TypeKind::Short: case TypeKind::UShort: case TypeKind::Int128: case TypeKind::UInt128:
    case TypeKind::Enum:
        return kOtherIntegral;
    case TypeKind::Pointer: return character(r->base) ? kCharPointer : kPointer;
    case TypeKind::Array: return character(r->base) ? kCharArray : kArray;
    case TypeKind::VaList: return kArray;
    case TypeKind::Struct: return kStructure;
    case TypeKind::Union: return kUnion;
    case TypeKind::Function: case TypeKind::Typedef: return kUnnamed;
    }
    return kUnnamed;
}

bool compatible_classes(int p, int a) {
    if (p == kEllipsis || p == kUnresolved || a == kEllipsis || a == kUnresolved || p == a) return true;
    if ((p == kNonNil || p == kPointer) && a <= kPointer) return true;
    if ((a == kNonNil || a == kPointer) && p <= kPointer) return true;
    if ((p == kCharPointer || p == kCharArray) && (a == kCharPointer || a == kCharArray)) return true;
    return a >= 0 && a <= kDouble && p <= kDouble;
}

}  // namespace zv::native
