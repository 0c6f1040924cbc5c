// Semantic tables filled by the analysis and walked by the generators: scopes
// holding ordered entries (append, prepend, insert before), one descriptor per
// entry, and the root-scope lookups by kind and name. "First match in list
// order" lookups are served by hash indexes kept beside the lists.
#pragma once

#include "common/prefetch.h"
#include "common/stable_store.h"
#include "common/text_arena.h"
#include "model/type_layout.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zv {

// Entry kinds with their fixed numbers.
#define ZV_ENTRY_KINDS(X)                                                                    \
    X(E_SCENARIO, 0) X(E_PROGRAM, 1) X(E_SEND, 2) X(E_PROCEDURE, 3) X(E_CALL, 4) X(E_FAMILY, 5)            \
    X(E_COMMENT, 6) X(E_SHARED, 7) X(E_MATCH, 8) X(E_CONNECTION, 9) X(E_ENABLE_CLEANUP, 10) X(E_DISABLE_CLEANUP, 11) X(E_WAIT, 12)            \
    X(E_C_LINE, 13) X(E_C_LINE_AT, 14) X(E_WHILE, 15) X(E_IF, 16) X(E_CASE, 17)               \
    X(E_WHEN_VALUE, 18) X(E_ERROR, 19) X(E_EXIT, 20) X(E_INITIALIZATION, 21)                  \
    X(E_TERMINATION, 22) X(E_VALUE, 23) X(E_VALUE_ELEMENT, 24) X(E_SET, 25) X(E_UNSET, 26) X(E_CALL_ARGUMENT, 27) X(E_WHEN, 28)     \
    X(E_INTERFACE_FUNCTION, 33) X(E_INTERFACE_PARAMETER, 34) X(E_TEMPORARY, 35)               \
    X(E_EXCEPTION, 36) X(E_PROCEDURE_PARAMETER, 37) X(E_RENDEZVOUS, 42)                       \
    X(E_MESSAGE_DEFINITION, 44) X(E_DEFINITION_VALUE, 45) X(E_MESSAGE_VARIABLE, 46)           \
    X(E_MESSAGE_TYPE, 47) X(E_CHANNEL, 49) X(E_COMM_TYPE, 50) X(E_CALLBACK, 51)               \
    X(E_NO_MESSAGE, 52) X(E_MESSAGE_DATE, 53) X(E_ADD_ID, 55) X(E_CLEAR_ID, 56)               \
    X(E_WAIT_REFERENCE, 58) X(E_TIMER_START, 60) X(E_TIMER, 61) X(E_TIMER_RESET, 63)          \
    X(E_PAUSE, 64) X(E_PRINT, 65) X(E_PROCSEND, 68) X(E_INSTANCE, 69)                         \
    X(E_HEADER_INSTANCE_BEGIN, 70) X(E_HEADER_INSTANCE_END, 71)                               \
    X(E_DECLARATION_INSTANCE_BEGIN, 72) X(E_DECLARATION_INSTANCE_END, 73)                     \
    X(E_INSTRUCTION_INSTANCE_BEGIN, 74) X(E_INSTRUCTION_INSTANCE_END, 75)                     \
    X(E_INSTANCE_REFERENCE, 76) X(E_FLUSH_TRACE, 78) X(E_TRACE_ON, 79) X(E_TRACE_OFF, 80)     \
    X(E_INTERSEND, 82) X(E_INTERRECV, 83)

enum EntryKind : int {
#define ZV_ENTRY_ENUM(name, number) name = number,
    ZV_ENTRY_KINDS(ZV_ENTRY_ENUM)
#undef ZV_ENTRY_ENUM
};
constexpr int kMaxEntryKind = 83;
constexpr int kFirstDescriptorCode = 101;
constexpr int kLastDescriptorCode = 157;

struct Scope;
struct Entry;

// The kind-specific part of an entry. The analysis derives one small struct
// per descriptor kind from it; every field starts zeroed.
struct Descriptor {
    Scope* sub_scope = nullptr;  // the block this descriptor owns, if any
    Entry* entry = nullptr;
    int code = 0;
    virtual ~Descriptor() = default;
};

struct Entry {
    // (Pointers first, then the numbers: an entry packs without holes.)
    Scope* scope = nullptr;
    const char* name = nullptr;  // name or text, may be null
    Descriptor* descriptor = nullptr;
    Entry* next = nullptr;
    Entry* previous = nullptr;
    const char* filter = nullptr;
    const char* file = nullptr;
    int kind = 0;
    int line = 0;
    int file_index = 0;
    unsigned mark = 0;
    // Numbers stored by the later passes.
    int event_code = 0;
    int end_code = 0;
    int report_number = 0;
    bool used = false;

private:
    friend class SemanticTables;
    bool released_ = false;
    std::int64_t order_ = 0;  // increasing along the scope's list
};

struct Scope {
    Scope* parent = nullptr;
    Descriptor* owner = nullptr;
    Entry* first = nullptr;
    Entry* last = nullptr;
};

// Starts fetching what a walk along a list reads next (the following entry's
// neighbour and descriptor) while the current entry is being worked on: the
// output passes walk every entry of a large model once.
inline void prefetch_next(const Entry* e) {
    // Entries are made in the order the walks visit them, mostly side by
    // side: the ones a few places on are fetched by address, which waits for
    // nothing.
    for (std::ptrdiff_t ahead = 2; ahead <= 4; ++ahead) prefetch_at(e, ahead * static_cast<std::ptrdiff_t>(sizeof(Entry)));
    if (const Entry* n = e->next) {
        __builtin_prefetch(n->next);
        __builtin_prefetch(n->descriptor);
    }
}

// Owner of every scope, entry, descriptor and text of one semantic model.
class SemanticTables {
public:
    SemanticTables();
    SemanticTables(const SemanticTables&) = delete;
    SemanticTables& operator=(const SemanticTables&) = delete;

    Scope* root() { return root_; }

    // A fresh, empty layout level owned by the tables.
    TypeLayoutNode* new_layout_node() { return &layouts_.emplace_back(); }

    // A scope owned by `owner` (linked back to it) inside `parent`.
    Scope* new_scope(Descriptor* owner, Scope* parent);

    // ENTCODUNK for a kind outside 0..83, SCPBADPTR for a null scope.
    Entry* append_entry(Scope* scope, int kind, const char* name, const char* file, int file_index, int line,
                        const char* filter);
    Entry* prepend_entry(Scope* scope, int kind, const char* name, const char* file, int line, const char* filter,
                         int file_index = 0);
    Entry* insert_entry_before(Entry* before, int kind, const char* name, const char* file, int file_index, int line,
                               const char* filter);

    // DSCCODUNK for a code outside 101..157; otherwise a zeroed descriptor of
    // type T linked with the entry both ways.
    template <class T = Descriptor>
    T* attach_descriptor(Entry* entry, int code) {
        check_descriptor_code(entry, code);
        auto owned = std::make_unique<T>();
        T* descriptor = owned.get();
        link_descriptor(entry, std::move(owned), code);
        return descriptor;
    }

    // Unlinks the entry and releases its descriptor and the descriptor's
    // sub-scope. DSCCODUNK for a descriptor code that owns nothing releasable.
    void release_entry(Entry* entry);
    void release_scope(Scope* scope);

    // Root-scope lookups: the first entry in list order, or null.
    Entry* find_comm_type(std::string_view name);        // kind 50, marks it used
    Entry* find_channel(std::string_view name);          // kind 49, marks it used
    Entry* find_message_type(std::string_view name);     // kind 47
    Entry* find_message_variable(std::string_view name); // kind 46
    Entry* find_procedure(std::string_view name);        // kind 3
    // The callback (kind 51) registered for a message type on a communication
    // type with index_callback; marks it used.
    Entry* find_callback(std::string_view message_type, std::string_view comm_type);
    void index_callback(Entry* callback, std::string_view message_type, std::string_view comm_type);

    // Any root-scope entry of `kind` named `name`, first in list order.
    Entry* find_in_root(int kind, std::string_view name);

private:
    Entry* new_entry(Scope* scope, int kind, const char* name, const char* file, int file_index, int line,
                     const char* filter);
    void check_descriptor_code(Entry* entry, int code);
    void link_descriptor(Entry* entry, std::unique_ptr<Descriptor> descriptor, int code);
    void place_before(Entry* entry, Entry* before);
    void renumber(Scope* scope);
    // What the root-scope index is keyed by: an entry kind and a name, or
    // for a callback a message type and a communication type. The texts of
    // stored keys are the tables' own.
    struct IndexKey {
        int kind = 0;
        std::string_view first;
        std::string_view second;
        bool operator==(const IndexKey&) const = default;
    };
    struct IndexKeyHash {
        std::size_t operator()(const IndexKey& key) const;
    };
    void index_add(const IndexKey& key, Entry* entry);
    void index_remove(const IndexKey& key, Entry* entry);
    Entry* index_first(const IndexKey& key);

    struct Slot {
        std::vector<Entry*> entries;  // every live entry with this key
        Entry* first = nullptr;       // the one earliest in list order
    };

    std::deque<Scope> scopes_;
    std::deque<TypeLayoutNode> layouts_;
    StableStore<Entry> entries_;
    StableStore<std::unique_ptr<Descriptor>, 4096> descriptors_;
    TextArena texts_;
    Scope* root_ = nullptr;
    std::unordered_map<IndexKey, Slot, IndexKeyHash> index_;
    std::unordered_map<const Entry*, IndexKey> callback_keys_;
};

// Block depth of the analysis: closing more blocks than were opened is an
// internal error (ENTCODUNK with the depth).
class BlockDepth {
public:
    void open() { ++depth_; }
    void close();
    int depth() const { return depth_; }

private:
    int depth_ = 0;
};

}  // namespace zv
