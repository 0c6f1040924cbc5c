#include "native/symbol_table.h"

namespace zv::native {

void SymbolTable::set_scope(const std::string& name) {
    if (name != current_name_) {
        current_name_ = name;
        forget_scopes();
    }
}

void SymbolTable::close_scope(const std::string& name) {
    if (name.empty()) return;
    if (named_.erase(name) == 0) return;
    ++generation_;
    forget_scopes();
}

void SymbolTable::push_block() {
    ++generation_;
    if (open_blocks_ == blocks_.size()) blocks_.push_back(std::make_unique<Block>());
    ++open_blocks_;
}

void SymbolTable::pop_block() {
    ++generation_;
    if (open_blocks_ == 0) return;
    // The maps go first: they must not outlive the memory they were given.
    Block& closed = *blocks_[--open_blocks_];
    closed.scope.reset();
    closed.memory.release();
    closed.scope.emplace(&closed.memory);
}

SymbolTable::Scope& SymbolTable::innermost() {
    ++generation_;
    return open_blocks_ == 0 ? named_scope() : block(open_blocks_ - 1);
}

SymbolTable::Scope& SymbolTable::named_scope() {
    ++generation_;
    Scope& scope = named_.try_emplace(current_name_, &memory_).first->second;
    if (!scopes_known_ || current_ != &scope) forget_scopes();  // it may have been made just now
    return scope;
}

bool SymbolTable::sees_only_global(const std::string& name) const {
    if (open_blocks_ > 0) return false;
    const Scope* scope = name.empty() ? nullptr : named(name);
    return !scope || (scope->ordinary.empty() && scope->typedefs.empty() && scope->tags.empty());
}

const SymbolTable::Scope* SymbolTable::named(const std::string& name) const {
    auto it = named_.find(name);
    return it == named_.end() ? nullptr : &it->second;
}

const SymbolTable::Scope* SymbolTable::current() const {
    if (!scopes_known_) {
        current_ = named(current_name_);
        global_ = current_name_.empty() ? current_ : named(empty_);
        scopes_known_ = true;
    }
    return current_;
}

const SymbolTable::Scope* SymbolTable::global() const {
    current();
    return global_;
}

template <class Look>
auto SymbolTable::search(Look&& look) const -> decltype(look(std::declval<const Scope&>())) {
    for (std::size_t i = open_blocks_; i-- > 0;)
        if (auto found = look(block(i))) return found;
    if (const Scope* s = current())
        if (auto found = look(*s)) return found;
    if (!current_name_.empty())
        if (const Scope* s = global())
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
    const Scope* s = open_blocks_ == 0 ? current() : &block(open_blocks_ - 1);
    if (!s) return nullptr;
    if (auto it = s->ordinary.find(name); it != s->ordinary.end()) return &it->second;
    if (auto it = s->typedefs.find(name); it != s->typedefs.end()) return &it->second;
    return nullptr;
}

Record* SymbolTable::find_tag(const char* tag, bool innermost_only) const {
    if (innermost_only) {
        const Scope* s = current();
        if (!s) return nullptr;
        auto it = s->tags.find(tag);
        return it == s->tags.end() ? nullptr : it->second;
    }
    for (const Scope* s : {current(), global()}) {
        if (s) {
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
