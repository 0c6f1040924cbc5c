// Semantic tables: list order under append, prepend and insertion, first-match
// lookups that follow list order, release, and the internal-error codes.
#include "diagnostics/message_catalog.h"
#include "model/semantic_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zv {
namespace {

std::vector<std::string> names(const Scope* scope) {
    std::vector<std::string> out;
    for (const Entry* e = scope->first; e; e = e->next) out.push_back(e->name ? e->name : "-");
    // The backward links must agree.
    std::vector<std::string> back;
    for (const Entry* e = scope->last; e; e = e->previous) back.insert(back.begin(), e->name ? e->name : "-");
    EXPECT_EQ(out, back);
    return out;
}

TEST(SemanticTables, AppendPrependAndInsertKeepListOrder) {
    SemanticTables tables;
    Scope* root = tables.root();
    Entry* b = tables.append_entry(root, E_SCENARIO, "b", "f.zod", 1, 3, nullptr);
    tables.append_entry(root, E_TIMER, "c", "f.zod", 1, 4, "AB");
    tables.prepend_entry(root, E_TEMPORARY, "a", nullptr, 0, nullptr);
    tables.insert_entry_before(b, E_IF, "a2", "f.zod", 1, 5, nullptr);
    EXPECT_EQ(names(root), (std::vector<std::string>{"a", "a2", "b", "c"}));
    EXPECT_EQ(root->last->filter, std::string("AB"));
    EXPECT_EQ(b->scope, root);
    EXPECT_EQ(b->mark, 0u);
    Scope* empty = tables.new_scope(nullptr, root);
    tables.prepend_entry(empty, E_EXIT, "only", nullptr, 0, nullptr);
    EXPECT_EQ(names(empty), (std::vector<std::string>{"only"}));
}

TEST(SemanticTables, RepeatedInsertionsBetweenTheSameNeighboursStayOrdered) {
    SemanticTables tables;
    Scope* root = tables.root();
    tables.append_entry(root, E_PROCEDURE, "first", nullptr, 0, 0, nullptr);
    Entry* last = tables.append_entry(root, E_PROCEDURE, "last", nullptr, 0, 0, nullptr);
    // Each insertion halves the gap before "last"; the list must renumber.
    for (int i = 0; i < 60; ++i) tables.insert_entry_before(last, E_PROCEDURE, "mid", nullptr, 0, i, nullptr);
    Entry* probe = tables.insert_entry_before(last, E_CHANNEL, "late", nullptr, 0, 0, nullptr);
    tables.prepend_entry(root, E_CHANNEL, "late", nullptr, 0, nullptr);
    EXPECT_EQ(tables.find_procedure("first")->line, 0);
    EXPECT_EQ(tables.find_procedure("mid")->line, 0);
    EXPECT_NE(tables.find_channel("late"), probe);  // the prepended one is first now
    EXPECT_EQ(names(root).size(), 64u);
}

TEST(SemanticTables, LookupsReturnTheFirstMatchInListOrder) {
    SemanticTables tables;
    Scope* root = tables.root();
    Entry* later = tables.append_entry(root, E_COMM_TYPE, "Sock", nullptr, 0, 10, nullptr);
    Entry* earlier = tables.prepend_entry(root, E_COMM_TYPE, "Sock", nullptr, 2, nullptr);
    tables.append_entry(root, E_MESSAGE_TYPE, "Sock", nullptr, 0, 11, nullptr);
    EXPECT_EQ(tables.find_comm_type("Sock"), earlier);
    EXPECT_TRUE(earlier->used);
    EXPECT_FALSE(later->used);
    EXPECT_EQ(tables.find_message_type("Sock")->line, 11);
    EXPECT_EQ(tables.find_message_variable("Sock"), nullptr);
    EXPECT_EQ(tables.find_comm_type("sock"), nullptr);  // exact names
    // Entries of inner scopes are not root entries.
    Scope* inner = tables.new_scope(nullptr, root);
    tables.append_entry(inner, E_PROCEDURE, "P", nullptr, 0, 1, nullptr);
    EXPECT_EQ(tables.find_procedure("P"), nullptr);
    // Releasing the first match uncovers the next one.
    tables.release_entry(earlier);
    EXPECT_EQ(tables.find_comm_type("Sock"), later);
}

TEST(SemanticTables, CallbacksByMessageTypeAndCommunicationType) {
    SemanticTables tables;
    Scope* root = tables.root();
    Entry* second = tables.append_entry(root, E_CALLBACK, "cb2", nullptr, 0, 2, nullptr);
    Entry* first = tables.prepend_entry(root, E_CALLBACK, "cb1", nullptr, 1, nullptr);
    tables.index_callback(second, "Req", "Sock");
    tables.index_callback(first, "Req", "Sock");
    tables.index_callback(first, "Ans", "Sock");
    EXPECT_EQ(tables.find_callback("Req", "Sock"), first);
    EXPECT_TRUE(first->used);
    EXPECT_EQ(tables.find_callback("Req", "Other"), nullptr);
    EXPECT_EQ(tables.find_channel("x"), nullptr);
    // The key's texts are the tables' own: the caller's strings may go.
    Entry* third = tables.append_entry(root, E_CALLBACK, "cb3", nullptr, 0, 3, nullptr);
    {
        std::string type = "Only", comm = "Link";
        tables.index_callback(third, type, comm);
    }
    EXPECT_EQ(tables.find_callback("Only", "Link"), third);
    // The two names stay apart, and callback keys apart from named entries.
    EXPECT_EQ(tables.find_callback("Onl", "yLink"), nullptr);
    EXPECT_EQ(tables.find_callback("Link", "Only"), nullptr);
    EXPECT_EQ(tables.find_in_root(E_CALLBACK, "Only"), nullptr);
    EXPECT_EQ(tables.find_in_root(E_CALLBACK, "cb3"), third);
    tables.release_entry(third);
    EXPECT_EQ(tables.find_callback("Only", "Link"), nullptr);
    EXPECT_EQ(tables.find_in_root(E_CALLBACK, "cb3"), nullptr);
}

TEST(SemanticTables, DescriptorsLinkBothWaysAndOwnScopes) {
    struct TimerDescriptor : Descriptor {
        int number = 0;
    };
    SemanticTables tables;
    Entry* entry = tables.append_entry(tables.root(), E_SCENARIO, "s", nullptr, 0, 1, nullptr);
    auto* descriptor = tables.attach_descriptor<TimerDescriptor>(entry, 120);
    EXPECT_EQ(descriptor->number, 0);
    EXPECT_EQ(descriptor->entry, entry);
    EXPECT_EQ(entry->descriptor, descriptor);
    Scope* block = tables.new_scope(descriptor, tables.root());
    EXPECT_EQ(descriptor->sub_scope, block);
    EXPECT_EQ(block->owner, descriptor);
    tables.append_entry(block, E_EXIT, nullptr, nullptr, 0, 2, nullptr);
    descriptor->code = 130;
    tables.release_entry(entry);
    EXPECT_EQ(block->first, nullptr);
    EXPECT_EQ(tables.root()->first, nullptr);
}

TEST(SemanticTables, InternalErrors) {
    registerMessageCatalog();
    SemanticTables tables;
    EXPECT_EXIT(tables.append_entry(tables.root(), 84, "x", "f.zod", 1, 9, nullptr), testing::ExitedWithCode(9),
                "Zolmex-S-ENTCODUNK,  \\[f.zod:9\\] Semantic entry '84' beyond the limits");
    EXPECT_EXIT(tables.append_entry(nullptr, 3, "x", "f.zod", 1, 9, nullptr), testing::ExitedWithCode(9),
                "Zolmex-S-SCPBADPTR,   Null scope pointer\\.");
    Entry* entry = tables.append_entry(tables.root(), E_SCENARIO, "s", "f.zod", 1, 4, nullptr);
    EXPECT_EXIT(tables.attach_descriptor(entry, 100), testing::ExitedWithCode(9), "DSCCODUNK.*'100'");
    EXPECT_EXIT(tables.attach_descriptor(entry, 158), testing::ExitedWithCode(9), "DSCCODUNK.*'158'");
    tables.attach_descriptor(entry, 148);
    EXPECT_EXIT(tables.release_entry(entry), testing::ExitedWithCode(9),
                "Zolmex-S-DSCCODUNK,  \\[f.zod:4\\] Semantic descriptor '148' beyond the limits");
    BlockDepth depth;
    depth.open();
    depth.close();
    EXPECT_EXIT(depth.close(), testing::ExitedWithCode(9), "ENTCODUNK.*'-1'");
}

}  // namespace
}  // namespace zv
