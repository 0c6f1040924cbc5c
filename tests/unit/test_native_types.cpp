// Types and the symbol table: sizes of the data model, printable type texts,
// type identity, and visibility by C scope name.
#include "common/string_pool.h"
#include "native/c_types.h"
#include "native/symbol_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace zv::native {
namespace {

TEST(NativeTypes, SizesAndAlignmentsOfTheDataModel) {
    TypeTable types;
    const std::pair<TypeKind, long long> sizes[] = {
        {TypeKind::Bool, 1},   {TypeKind::Char, 1},       {TypeKind::Short, 2},      {TypeKind::Int, 4},
        {TypeKind::Long, 8},   {TypeKind::LongLong, 8},   {TypeKind::Int128, 16},    {TypeKind::Float, 4},
        {TypeKind::Double, 8}, {TypeKind::LongDouble, 16}, {TypeKind::Float128, 16}, {TypeKind::VaList, 24}};
    for (const auto& [kind, size] : sizes) {
        EXPECT_EQ(size_of(types.basic(kind)), size) << type_text(types.basic(kind));
        EXPECT_EQ(align_of(types.basic(kind)), kind == TypeKind::VaList ? 8 : size);
    }
    EXPECT_EQ(size_of(types.complex_of(TypeKind::Double)), 16);
    EXPECT_EQ(align_of(types.complex_of(TypeKind::Double)), 8);
    EXPECT_EQ(size_of(types.pointer_to(types.basic(TypeKind::Char))), 8);
    EXPECT_EQ(size_of(types.array_of(types.basic(TypeKind::Short), 5)), 10);
    EXPECT_EQ(size_of(types.array_of(types.basic(TypeKind::Short), -1)), -1);
    EXPECT_TRUE(is_unsigned(types.basic(TypeKind::Bool)));
    EXPECT_FALSE(is_unsigned(types.basic(TypeKind::Char)));
    EXPECT_TRUE(is_integer(types.basic(TypeKind::UInt128)));
    EXPECT_FALSE(is_integer(types.complex_of(TypeKind::Int)));
}

TEST(NativeTypes, PrintableTypeTexts) {
    TypeTable types;
    const Type* i = types.basic(TypeKind::Int);
    const Type* cc = types.qualified(types.basic(TypeKind::Char), kConst);
    EXPECT_EQ(type_text(types.pointer_to(cc)), "const char *");
    EXPECT_EQ(type_text(types.qualified(types.pointer_to(cc), kConst | kRestrict)), "const char * const restrict");
    EXPECT_EQ(type_text(types.pointer_to(types.array_of(i, 3))), "int (*)[3]");
    Type fn;
    fn.kind = TypeKind::Function;
    fn.base = types.pointer_to(i);
    fn.params = {Param{nullptr, i}};
    fn.variadic = true;
    const Type* f = types.make(fn);
    EXPECT_EQ(type_text(f), "int *(int, ...)");
    EXPECT_EQ(type_text(types.pointer_to(f)), "int *(*)(int, ...)");
    Type none;
    none.kind = TypeKind::Function;
    none.base = types.basic(TypeKind::Void);
    EXPECT_EQ(type_text(types.make(none)), "void (void)");
    none.prototype = false;
    EXPECT_EQ(type_text(types.make(none)), "void ()");
    Record* r = types.make_record(TypeKind::Union, string_pool().intern("u"));
    EXPECT_EQ(type_text(types.array_of(types.record_type(r), 2)), "union u [2]");
}

TEST(NativeTypes, SameTypeLooksThroughTypedefs) {
    TypeTable types;
    const Type* i = types.basic(TypeKind::Int);
    Type td;
    td.kind = TypeKind::Typedef;
    td.name = "myint";
    td.base = i;
    const Type* myint = types.make(td);
    EXPECT_TRUE(same_type(myint, i));
    EXPECT_FALSE(same_type(myint, types.basic(TypeKind::UInt)));
    EXPECT_TRUE(same_type(types.array_of(i, -1), types.array_of(myint, 4)));
    EXPECT_FALSE(same_type(types.array_of(i, 3), types.array_of(i, 4)));
    EXPECT_FALSE(same_type(types.pointer_to(types.qualified(i, kConst)), types.pointer_to(i)));
    Record* a = types.make_record(TypeKind::Struct, "a");
    Record* b = types.make_record(TypeKind::Struct, "a");
    EXPECT_TRUE(same_type(types.record_type(a), types.record_type(a)));
    EXPECT_FALSE(same_type(types.record_type(a), types.record_type(b)));
}

// Pointers, arrays, qualified versions and tag references are made once for
// what they are made from, also once the table has grown.
TEST(NativeTypes, DerivedTypesAreMadeOnce) {
    TypeTable types;
    const Type* i = types.basic(TypeKind::Int);
    EXPECT_EQ(types.pointer_to(i), types.pointer_to(i));
    EXPECT_NE(types.pointer_to(i), types.pointer_to(types.basic(TypeKind::Long)));
    EXPECT_EQ(types.array_of(i, 3), types.array_of(i, 3));
    EXPECT_NE(types.array_of(i, 3), types.array_of(i, 4));
    EXPECT_NE(types.array_of(i, -1), types.array_of(i, 3));
    EXPECT_EQ(types.qualified(i, kConst), types.qualified(i, kConst));
    EXPECT_NE(types.qualified(i, kConst), types.qualified(i, kVolatile));
    EXPECT_EQ(types.qualified(i, kConst)->quals, kConst);
    EXPECT_EQ(types.qualified(types.qualified(i, kConst), kConst), types.qualified(i, kConst));
    Record* r = types.make_record(TypeKind::Union, "u");
    EXPECT_EQ(types.record_type(r), types.record_type(r));
    EXPECT_EQ(types.record_type(r)->kind, TypeKind::Union);
    std::vector<const Type*> chain;
    for (const Type* t = i; chain.size() < 5000;) chain.push_back(t = types.pointer_to(t));
    const Type* t = i;
    for (const Type* made : chain) ASSERT_EQ(t = types.pointer_to(t), made);
    EXPECT_EQ(type_text(chain[1]), "int **");
    EXPECT_EQ(types.array_of(chain[0], 2), types.array_of(chain[0], 2));
}

TEST(NativeSymbolTable, VisibilityByScopeName) {
    TypeTable types;
    SymbolTable table;
    auto& pool = string_pool();
    const char* x = pool.intern("x");
    const char* t = pool.intern("T");
    Symbol var{Symbol::Kind::Variable, x, types.basic(TypeKind::Int), 0, nullptr, 0};
    Symbol td{Symbol::Kind::Typedef, t, types.basic(TypeKind::Long), 0, nullptr, 0};
    table.set_scope("");
    table.innermost().typedefs[t] = td;
    table.set_scope("PROC");
    table.innermost().ordinary[x] = var;
    EXPECT_EQ(table.find(x)->kind, Symbol::Kind::Variable);
    EXPECT_EQ(table.find(t)->kind, Symbol::Kind::Typedef);  // the empty name is seen from every scope
    table.set_scope("OTHER");
    EXPECT_EQ(table.find(x), nullptr);
    // A variable of the same name hides the typedef in its scope only.
    Symbol shadow{Symbol::Kind::Variable, t, types.basic(TypeKind::Char), 0, nullptr, 0};
    table.innermost().ordinary[t] = shadow;
    EXPECT_EQ(table.find(t)->kind, Symbol::Kind::Variable);
    EXPECT_EQ(table.find_typedef(t)->kind, Symbol::Kind::Typedef);
    table.set_scope("PROC");
    EXPECT_EQ(table.find(t)->kind, Symbol::Kind::Typedef);
    // A block (parameters) is searched first and goes away with its names.
    table.push_block();
    table.innermost().ordinary[t] = shadow;
    EXPECT_EQ(table.find(t)->kind, Symbol::Kind::Variable);
    EXPECT_NE(table.find_here(t), nullptr);
    table.pop_block();
    EXPECT_EQ(table.find(t)->kind, Symbol::Kind::Typedef);
    EXPECT_EQ(table.count(), 3u);
    table.close_scope("PROC");
    EXPECT_EQ(table.find(x), nullptr);
    table.close_scope("");  // the empty name stays
    EXPECT_NE(table.find(t), nullptr);
}

// Blocks are emptied when closed, and the scopes a question looks at are
// looked up again when they are made, changed or closed.
TEST(NativeSymbolTable, ReusedBlocksAndRememberedScopes) {
    TypeTable types;
    auto variable = [&](const char* name) {
        return Symbol{Symbol::Kind::Variable, string_pool().intern(name), types.basic(TypeKind::Int), 0, nullptr, 0};
    };
    const Symbol var = variable("param");
    const char* p = var.name;
    const char* g = string_pool().intern("global_thing");
    SymbolTable table;
    table.set_scope("A");
    table.push_block();
    table.innermost().ordinary[p] = var;
    table.pop_block();
    table.push_block();
    EXPECT_EQ(table.find(p), nullptr);
    EXPECT_EQ(table.find_here(p), nullptr);
    table.pop_block();
    table.pop_block();  // one too many: nothing happens
    EXPECT_EQ(table.find(g), nullptr);  // neither "A" nor the empty name exists yet
    table.set_scope("");
    table.innermost().ordinary[g] = variable("global_thing");
    table.set_scope("A");
    ASSERT_NE(table.find(g), nullptr);
    EXPECT_EQ(table.find(p), nullptr);
    table.named_scope().ordinary[p] = var;  // "A" made after a question found nothing there
    ASSERT_NE(table.find(p), nullptr);
    Record* r = types.make_record(TypeKind::Struct, "s");
    table.named_scope().tags[r->tag] = r;
    EXPECT_EQ(table.find_tag(r->tag, true), r);
    table.close_scope("A");
    EXPECT_EQ(table.find(p), nullptr);
    EXPECT_EQ(table.find_tag(r->tag, false), nullptr);
    EXPECT_NE(table.find(g), nullptr);
}

// Nested blocks with more names than their own buffer holds, closed and filled
// again many times: the outer block keeps its names, a closed one keeps none.
TEST(NativeSymbolTable, BlocksRefilledBeyondTheirBuffer) {
    SymbolTable table;
    table.set_scope("");
    std::vector<const char*> names;
    for (int i = 0; i < 300; ++i) {
        std::string text = "param_";
        text += std::to_string(i);
        names.push_back(string_pool().intern(text));
    }
    Symbol symbol;
    symbol.kind = Symbol::Kind::Variable;
    table.push_block();
    table.innermost().ordinary[names[0]] = symbol;
    for (int round = 0; round < 20; ++round) {
        table.push_block();
        for (std::size_t i = 1; i < names.size(); ++i) {
            symbol.value = round;
            table.innermost().ordinary[names[i]] = symbol;
        }
        EXPECT_EQ(table.find(names[names.size() - 1])->value, round);
        EXPECT_NE(table.find(names[0]), nullptr);
        table.pop_block();
        EXPECT_EQ(table.find(names[1]), nullptr);
        EXPECT_NE(table.find(names[0]), nullptr);
    }
    table.pop_block();
    EXPECT_EQ(table.find(names[0]), nullptr);
}

// Types and records made past the first chunks of the table stay where they
// were made and keep what they were given.
TEST(NativeTypes, ManyDerivedTypesKeepTheirPlaces) {
    TypeTable types;
    std::vector<const Type*> made{types.basic(TypeKind::Int)};
    for (int i = 0; i < 1000; ++i) made.push_back(types.pointer_to(made.back()));
    for (std::size_t i = 1; i < made.size(); ++i) {
        ASSERT_EQ(made[i]->kind, TypeKind::Pointer);
        EXPECT_EQ(made[i]->base, made[i - 1]);
    }
    EXPECT_EQ(types.pointer_to(made[500]), made[501]);  // made once
    std::vector<Record*> records;
    for (int i = 0; i < 600; ++i) records.push_back(types.make_record(TypeKind::Union, nullptr));
    for (Record* r : records) EXPECT_EQ(r->kind, TypeKind::Union);
    EXPECT_EQ(std::set<Record*>(records.begin(), records.end()).size(), records.size());
}

}  // namespace
}  // namespace zv::native
