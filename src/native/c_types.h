// C types as the interface analysis records them: base types with their
// signedness, enumerations, structures and unions with fields in order,
// pointers, arrays with their element counts, functions, typedef names and
// qualifiers; with the sizes and alignments of the x86-64 (LP64) data model.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zv::native {

enum class TypeKind : std::uint8_t {
    Void, Bool, Char, SChar, UChar, Short, UShort, Int, UInt, Long, ULong, LongLong, ULongLong, Int128, UInt128,
    Float, Double, LongDouble, Float32, Float64, Float32x, Float64x, Float128, Enum, Struct, Union, Pointer, Array, Function, Typedef, VaList
};

enum Qualifier : std::uint8_t { kConst = 1, kVolatile = 2, kRestrict = 4, kAtomic = 8 };

struct Type;

struct Field {
    const char* name = nullptr;  // null for an anonymous structure or union member
    const Type* type = nullptr;
    long long offset = 0;        // in bytes
    int bit_width = -1;          // -1 when not a bit-field
    int bit_offset = 0;          // within the storage unit at `offset`
    bool packed = false;         // packed by an attribute of the member itself
    long long align = 0;         // alignment given on the member (attribute or _Alignas), 0 when none
};

struct Enumerator {
    const char* name;
    long long value;
};

// The body of a structure, union or enumeration, shared by every reference to its tag.
struct Record {
    TypeKind kind = TypeKind::Struct;
    const char* tag = nullptr;  // null when anonymous
    bool complete = false;
    bool packed = false;
    long long pack = 0;  // largest member alignment (#pragma pack), 0 when none
    std::vector<Field> fields;
    std::vector<Enumerator> enumerators;
    long long size = 0;
    long long align = 1;
    const char* file = nullptr;  // where it was defined (or first named)
    int line = 0;
    const Type* enum_base = nullptr;  // integer type of an enumeration
};

struct Param {
    const char* name = nullptr;
    const Type* type = nullptr;       // adjusted: an array or function parameter is a pointer
    long long array_size = 0;         // element count of a parameter declared as an array, 0 otherwise
};

struct Type {
    TypeKind kind = TypeKind::Int;
    std::uint8_t quals = 0;
    bool is_complex = false;        // _Complex float/double/long double
    const Type* base = nullptr;     // pointer target, array element, function return, typedef target
    Record* record = nullptr;       // enumerations, structures and unions
    long long count = -1;           // array element count, -1 when unknown
    std::vector<Param> params;      // function parameters
    bool variadic = false;
    bool prototype = true;          // false for `f()` and K&R declarations
    const char* name = nullptr;     // typedef name
    const Type* target = nullptr;   // of a typedef: the first type along its chain that is not one
    long long align = 0;            // alignment given by an attribute or _Alignas, 0 when none
};

// Owner of every type made during a run; base types are made once.
class TypeTable {
public:
    TypeTable();
    const Type* basic(TypeKind kind) const { return basic_[static_cast<int>(kind)]; }
    const Type* complex_of(TypeKind kind);
    const Type* pointer_to(const Type* target);
    const Type* array_of(const Type* element, long long count);
    const Type* qualified(const Type* type, std::uint8_t quals);
    const Type* aligned(const Type* type, long long align);
    const Type* record_type(Record* record);
    Type* make(Type t);
    Record* make_record(TypeKind kind, const char* tag);

private:
    // Pointers, arrays, qualified versions and tag references are made once
    // for each type (or record) they are made from.
    enum class Derivation : std::uint8_t { Pointer, Array, Qualified, Record };
    struct Derived {
        const void* from = nullptr;
        long long detail = 0;  // element count, qualifiers
        Derivation how = Derivation::Pointer;
        const Type* type = nullptr;  // null: a free entry
    };
    Derived& derived(Derivation how, const void* from, long long detail);
    Derived& free_or_same(const Derived& key);

    // Stable storage in chunks of many values: one allocation per chunk
    // rather than per handful of values.
    template <class T> struct Store {
        static constexpr std::size_t kChunk = 256;
        std::vector<std::unique_ptr<T[]>> chunks;
        std::size_t used = kChunk;
        T* next() {
            if (used == kChunk) {
                chunks.push_back(std::make_unique<T[]>(kChunk));
                used = 0;
            }
            return &chunks.back()[used++];
        }
    };
    Store<Type> types_;
    Store<Record> records_;
    std::vector<Derived> derived_;  // open addressing, a power of two in size
    std::size_t derived_used_ = 0;
    const Type* basic_[static_cast<int>(TypeKind::VaList) + 1] = {};
};

// Follows typedef names to the type they name (qualifiers are kept).
const Type* resolve(const Type* type);
std::uint8_t qualifiers_of(const Type* type);  // including those added through typedefs
bool is_integer(const Type* type);             // integer and enumeration types
bool is_arithmetic(const Type* type);
bool is_floating(const Type* type);
bool is_scalar(const Type* type);
bool is_unsigned(const Type* type);
bool is_pointer_like(const Type* type);       // pointers, arrays, functions
long long size_of(const Type* type);          // -1 when incomplete
// Whether the size is known: void, arrays of unknown size and undefined tags are not.
bool is_complete(const Type* type);
long long align_of(const Type* type);
// Printable C type text: "unsigned int", "struct s *", "char [10]", "int (*)(int)".
std::string type_text(const Type* type);
// Looks for a member (also through anonymous members); adds its offset to `offset`.
const Field* find_field(const Record& record, const char* name, long long& offset);
// Same type, ignoring top-level qualifiers and parameter names.
bool same_type(const Type* a, const Type* b);
// Lays out a structure or union from its fields.
void lay_out(Record& record);

}  // namespace zv::native
