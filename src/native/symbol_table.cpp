#include "native/symbol_table.h"

namespace zv::native {

void SymbolTable::set_scope(const std::string& name) { current_name_ = name; }

void SymbolTable::close_scope(const std::string& name) {
    if (!name.empty()) named_.erase(name);
}

void SymbolTable::push_block() { blocks_.emplace_back(); }
void SymbolTable::pop_block() {
    if (!blocks_.empty()) blocks_.pop_back();
}

SymbolTable::Scope& SymbolTable::innermost() { return blocks_.empty() ? named_[current_name_] : blocks_.back(); }

const SymbolTable::Scope* SymbolTable::named(const std::string& name) const {
    auto it = named_.find(name);
    return it == named_.end() ? nullptr : &it->second;
}

template <class Look>
auto SymbolTable::search(Look&& look) const -> decltype(look(std::declval<const Scope&>())) {
    for (auto it = blocks_.rbegin(); it != blocks_.rend(); ++it)
        if (auto found = look(*it)) return found;
    if (const Scope* s = named(current_name_))
        if (auto found = look(*s)) return found;
    if (!current_name_.empty())
        if (const Scope* s = named(std::string()))
            if (auto found = look(*s)) return found;
    return nullptr;
}

const Symbol* SymbolTable::find(const char* name) const {
    return search([name](const Scope& s) -> const Symbol* {
        if (auto it = s.ordinary.find(name); it != s.ordinary.end()) return &it->second;
        if (auto it = s.typedefs.find(name); it != s.typedefs.end()) return &it->second;
        return nullptr;
    });
}

const Symbol* SymbolTable::find_typedef(const char* name) const {
    return search([name](const Scope& s) -> const Symbol* {
        if (auto it = s.typedefs.find(name); it != s.typedefs.end()) return &it->second;
        return nullptr;
    });
}

const Symbol* SymbolTable::find_here(const char* name) const {
    const Scope* s = blocks_.empty() ? named(current_name_) : &blocks_.back();
    if (!s) return nullptr;
    if (auto it = s->ordinary.find(name); it != s->ordinary.end()) return &it->second;
    if (auto it = s->typedefs.find(name); it != s->typedefs.end()) return &it->second;
    return nullptr;
}

Record* SymbolTable::find_tag(const char* tag, bool innermost_only) const {
    if (innermost_only) {
        const Scope* s = named(current_name_);
        if (!s) return nullptr;
        auto it = s->tags.find(tag);
        return it == s->tags.end() ? nullptr : it->second;
    }
    for (const std::string* name : {&current_name_, &empty_}) {
        if (const Scope* s = named(*name)) {
            auto it = s->tags.find(tag);
            if (it != s->tags.end()) return it->second;
        }
    }
    return nullptr;
}

std::size_t SymbolTable::count() const {
    std::size_t n = 0;
    for (const auto& [name, scope] : named_) n += scope.ordinary.size() + scope.typedefs.size();
    return n;
}

}  // namespace zv::native
