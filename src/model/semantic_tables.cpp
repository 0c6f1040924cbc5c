#include "model/semantic_tables.h"

#include "common/string_pool.h"
#include "diagnostics/report.h"

#include <algorithm>
#include <cstdint>

namespace zv {

namespace {

constexpr std::int64_t kGap = std::int64_t{1} << 20;

// Descriptor codes whose release is refused: they never own anything that a
// release could walk.
bool release_refused(int code) {
    return code < kFirstDescriptorCode || code > kLastDescriptorCode || code == 106 || (code >= 119 && code <= 124) ||
           code == 129 || code == 147 || code == 148 || code == 150;
}

}  // namespace

SemanticTables::SemanticTables() { root_ = &scopes_.emplace_back(); }

Scope* SemanticTables::new_scope(Descriptor* owner, Scope* parent) {
    Scope* scope = &scopes_.emplace_back();
    scope->owner = owner;
    scope->parent = parent;
    if (owner) owner->sub_scope = scope;
    return scope;
}

namespace {
// The kind of the keys of callbacks, which no entry kind uses.
constexpr int kCallbackKey = -1;
}  // namespace

std::size_t SemanticTables::IndexKeyHash::operator()(const IndexKey& key) const {
    std::uint64_t h = text_hash(key.first) ^ static_cast<std::uint64_t>(static_cast<unsigned>(key.kind)) * 0x9e3779b97f4a7c15ull;
    if (!key.second.empty()) h = (h ^ text_hash(key.second)) * 0xff51afd7ed558ccdull;
    return static_cast<std::size_t>(h ^ (h >> 32));
}

Entry* SemanticTables::new_entry(Scope* scope, int kind, const char* name, const char* file, int file_index, int line,
                                 const char* filter) {
    if (kind < 0 || kind > kMaxEntryKind) {
        reportAtText(Severity::Internal, Code::ENTCODUNK, std::to_string(kind).c_str(), file, line);
        return nullptr;
    }
    if (!scope) {
        reportAtText(Severity::Internal, Code::SCPBADPTR, "", nullptr, 0);
        return nullptr;
    }
    Entry* entry = &entries_.emplace_back();
    entry->scope = scope;
    entry->kind = kind;
    entry->name = name ? texts_.copy(name) : nullptr;
    entry->filter = filter ? texts_.copy(filter) : nullptr;
    entry->file = file;
    entry->file_index = file_index;
    entry->line = line;
    return entry;
}

Entry* SemanticTables::append_entry(Scope* scope, int kind, const char* name, const char* file, int file_index,
                                    int line, const char* filter) {
    Entry* entry = new_entry(scope, kind, name, file, file_index, line, filter);
    if (!entry) return nullptr;
    entry->previous = scope->last;
    entry->order_ = scope->last ? scope->last->order_ + kGap : 0;
    (scope->last ? scope->last->next : scope->first) = entry;
    scope->last = entry;
    if (scope == root_ && entry->name) index_add({kind, entry->name, {}}, entry);
    return entry;
}

Entry* SemanticTables::prepend_entry(Scope* scope, int kind, const char* name, const char* file, int line,
                                     const char* filter, int file_index) {
    if (scope && scope->first) return insert_entry_before(scope->first, kind, name, file, file_index, line, filter);
    return append_entry(scope, kind, name, file, file_index, line, filter);
}

Entry* SemanticTables::insert_entry_before(Entry* before, int kind, const char* name, const char* file,
                                           int file_index, int line, const char* filter) {
    Entry* entry = new_entry(before ? before->scope : nullptr, kind, name, file, file_index, line, filter);
    if (!entry) return nullptr;
    place_before(entry, before);
    if (entry->scope == root_ && entry->name) index_add({kind, entry->name, {}}, entry);
    return entry;
}

void SemanticTables::place_before(Entry* entry, Entry* before) {
    Scope* scope = before->scope;
    entry->next = before;
    entry->previous = before->previous;
    (before->previous ? before->previous->next : scope->first) = entry;
    before->previous = entry;
    if (!entry->previous) {
        entry->order_ = before->order_ - kGap;
        return;
    }
    const std::int64_t low = entry->previous->order_, high = before->order_;
    if (high - low < 2) {
        renumber(scope);
        return;
    }
    entry->order_ = low + (high - low) / 2;
}

void SemanticTables::renumber(Scope* scope) {
    std::int64_t order = 0;
    for (Entry* e = scope->first; e; e = e->next, order += kGap) e->order_ = order;
}

void SemanticTables::index_add(const IndexKey& key, Entry* entry) {
    Slot& slot = index_[key];
    slot.entries.push_back(entry);
    if (!slot.first || entry->order_ < slot.first->order_) slot.first = entry;
}

void SemanticTables::index_remove(const IndexKey& key, Entry* entry) {
    auto found = index_.find(key);
    if (found == index_.end()) return;
    Slot& slot = found->second;
    slot.entries.erase(std::remove(slot.entries.begin(), slot.entries.end(), entry), slot.entries.end());
    if (slot.first != entry) return;
    slot.first = nullptr;
    for (Entry* e : slot.entries) {
        if (!slot.first || e->order_ < slot.first->order_) slot.first = e;
    }
}

Entry* SemanticTables::index_first(const IndexKey& key) {
    auto found = index_.find(key);
    return found == index_.end() ? nullptr : found->second.first;
}

void SemanticTables::check_descriptor_code(Entry* entry, int code) {
    if (code < kFirstDescriptorCode || code > kLastDescriptorCode) {
        reportAtText(Severity::Internal, Code::DSCCODUNK, std::to_string(code).c_str(), entry ? entry->file : nullptr,
                     entry ? entry->line : 0);
    }
}

void SemanticTables::link_descriptor(Entry* entry, std::unique_ptr<Descriptor> descriptor, int code) {
    descriptor->code = code;
    descriptor->entry = entry;
    if (entry) entry->descriptor = descriptor.get();
    descriptors_.emplace_back() = std::move(descriptor);
}

void SemanticTables::release_entry(Entry* entry) {
    if (!entry || entry->released_) return;
    if (Descriptor* descriptor = entry->descriptor) {
        if (release_refused(descriptor->code)) {
            reportAtText(Severity::Internal, Code::DSCCODUNK, std::to_string(descriptor->code).c_str(), entry->file,
                         entry->line);
            return;
        }
        if (descriptor->sub_scope) release_scope(descriptor->sub_scope);
    }
    Scope* scope = entry->scope;
    (entry->previous ? entry->previous->next : scope->first) = entry->next;
    (entry->next ? entry->next->previous : scope->last) = entry->previous;
    if (scope == root_ && entry->name) {
        index_remove({entry->kind, entry->name, {}}, entry);
        auto callback = callback_keys_.find(entry);
        if (callback != callback_keys_.end()) {
            index_remove(callback->second, entry);
            callback_keys_.erase(callback);
        }
    }
    entry->released_ = true;
    entry->next = entry->previous = nullptr;
}

void SemanticTables::release_scope(Scope* scope) {
    if (!scope) return;
    while (scope->first) {
        Entry* first = scope->first;
        release_entry(first);
        if (scope->first == first) break;  // refused (the run has ended already)
    }
}

Entry* SemanticTables::find_in_root(int kind, std::string_view name) { return index_first({kind, name, {}}); }

Entry* SemanticTables::find_comm_type(std::string_view name) {
    Entry* entry = find_in_root(E_COMM_TYPE, name);
    if (entry) entry->used = true;
    return entry;
}

Entry* SemanticTables::find_channel(std::string_view name) {
    Entry* entry = find_in_root(E_CHANNEL, name);
    if (entry) entry->used = true;
    return entry;
}

Entry* SemanticTables::find_message_type(std::string_view name) { return find_in_root(E_MESSAGE_TYPE, name); }
Entry* SemanticTables::find_message_variable(std::string_view name) { return find_in_root(E_MESSAGE_VARIABLE, name); }
Entry* SemanticTables::find_procedure(std::string_view name) { return find_in_root(E_PROCEDURE, name); }

void SemanticTables::index_callback(Entry* callback, std::string_view message_type, std::string_view comm_type) {
    if (!callback || callback->scope != root_) return;
    const IndexKey key{kCallbackKey, texts_.copy(message_type), texts_.copy(comm_type)};
    auto known = callback_keys_.find(callback);
    if (known != callback_keys_.end()) known->second = key;
    else callback_keys_.emplace(callback, key);
    index_add(key, callback);
}

Entry* SemanticTables::find_callback(std::string_view message_type, std::string_view comm_type) {
    Entry* entry = index_first({kCallbackKey, message_type, comm_type});
    if (entry) entry->used = true;
    return entry;
}

void BlockDepth::close() {
    --depth_;
    if (depth_ < 0) reportAtText(Severity::Internal, Code::ENTCODUNK, std::to_string(depth_).c_str(), nullptr, 0);
}

}  // namespace zv
