// Declarations by C scope name. A declaration registered under a scope name is
// visible under that name and, when registered under the empty name, under
// every name. Prototype scopes stack on top while parameters are read, so a
// parameter is visible to the parameters after it.
#pragma once

#include "native/c_types.h"

#include <cstddef>
#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace zv::native {

struct Symbol {
    enum class Kind : std::uint8_t { Variable, Function, Typedef, EnumConstant };
    Kind kind = Kind::Variable;
    const char* name = nullptr;
    const Type* type = nullptr;
    long long value = 0;         // enumerators
    const char* file = nullptr;  // the file of the declaration
    int line = 0;
    bool is_static = false;      // variables and functions declared with the storage class static
};

class SymbolTable {
public:
    // The maps of the named scopes take their memory from the table's own
    // buffer: quick to fill and freed at once at the end. Each block level has
    // a buffer of its own, reset when the block closes.
    struct Scope {
        explicit Scope(std::pmr::memory_resource* memory) : ordinary(memory), typedefs(memory), tags(memory) {}
        std::pmr::unordered_map<const char*, Symbol> ordinary;  // variables, functions, enumerators
        std::pmr::unordered_map<const char*, Symbol> typedefs;
        std::pmr::unordered_map<const char*, Record*> tags;
    };

    // The named scope that declarations go to and lookups start from.
    void set_scope(const std::string& name);
    const std::string& scope_name() const { return current_name_; }
    // Drops a named scope with everything registered under it.
    void close_scope(const std::string& name);

    void push_block();
    void pop_block();

    // The scope where a new declaration goes (innermost block, else the named scope).
    Scope& innermost();
    // The current named scope (tags always go there).
    Scope& named_scope();
    // Finds an ordinary identifier or typedef: innermost block first, then the
    // current named scope, then the empty name. In one scope a variable hides a
    // typedef of the same name.
    const Symbol* find(const char* name) const;
    const Symbol* find_typedef(const char* name) const;
    Record* find_tag(const char* tag, bool innermost_only) const;
    // Finds a name in one scope only (conflict checks).
    const Symbol* find_here(const char* name) const;

    // Number of declarations registered (all scopes).
    std::size_t count() const;
    // Changes whenever a scope is opened, closed or handed out for a new
    // declaration.
    std::uint64_t generation() const { return generation_; }
    // A change made elsewhere that lookups see (a structure given its body).
    void note_change() { ++generation_; }
    // Whether a lookup under the scope name finds what one under the empty
    // name finds: no block is open and the named scope holds nothing.
    bool sees_only_global(const std::string& name) const;
    template <class F> void each(F&& f) const {
        for (const auto& [name, scope] : named_)
            for (const auto* map : {&scope.typedefs, &scope.ordinary})
                for (const auto& [key, symbol] : *map) f(name, symbol);
    }
    template <class F> void each_tag(F&& f) const {
        for (const auto& [name, scope] : named_)
            for (const auto& [key, record] : scope.tags) f(name, *record);
    }

private:
    const Scope* named(const std::string& name) const;
    // The current named scope and the one of the empty name, looked up once
    // for many questions (null while they do not exist).
    const Scope* current() const;
    const Scope* global() const;
    void forget_scopes() const { scopes_known_ = false; }
    template <class Look> auto search(Look&& look) const -> decltype(look(std::declval<const Scope&>()));

    std::pmr::monotonic_buffer_resource memory_;  // made first, gone last
    std::unordered_map<std::string, Scope> named_;
    struct Block {
        Block() : memory(initial, sizeof initial) { scope.emplace(&memory); }
        alignas(std::max_align_t) std::byte initial[4096];
        std::pmr::monotonic_buffer_resource memory;
        std::optional<Scope> scope;
    };
    Scope& block(std::size_t i) const { return *blocks_[i]->scope; }
    std::vector<std::unique_ptr<Block>> blocks_;  // the first open_blocks_ are open; the others wait, empty, for reuse
    std::size_t open_blocks_ = 0;
    std::uint64_t generation_ = 0;
    std::string current_name_;
    const std::string empty_;
    mutable bool scopes_known_ = false;
    mutable const Scope* current_ = nullptr;
    mutable const Scope* global_ = nullptr;
};

}  // namespace zv::native
