// The run's string pool: sharing, stable pointers across growth, the empty entry.
#include "common/string_pool.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zv {
namespace {

TEST(StringPool, EqualTextsShareOneCopyAndEntryZeroIsEmpty) {
    StringPool pool;
    EXPECT_EQ(pool.index_of(""), 0u);
    EXPECT_STREQ(pool.text_of(0), "");
    const char* a = pool.intern("kvr_ctx");
    std::string copy = "kvr_ctx";
    EXPECT_EQ(pool.intern(copy), a);
    EXPECT_NE(pool.intern("kvr_ctx2"), a);
    EXPECT_EQ(pool.size(), 3u);
}

TEST(StringPool, TextsWithEmbeddedPrefixesAndHashNeighboursStayDistinct) {
    StringPool pool;
    std::vector<const char*> seen;
    for (int i = 0; i < 50000; ++i) seen.push_back(pool.intern("name" + std::to_string(i)));
    for (int i = 0; i < 50000; i += 997) EXPECT_STREQ(seen[i], ("name" + std::to_string(i)).c_str());
    // Growth of the entry array (10000, then +20000 each time) keeps earlier pointers valid.
    EXPECT_EQ(pool.intern("name0"), seen[0]);
    EXPECT_EQ(pool.entry_capacity() % 10000, 0u);
    EXPECT_GE(pool.entry_capacity(), 50001u);
    // The chains doubled on the way, and every text is still found, at its index.
    EXPECT_GT(pool.chain_count(), StringPool::kChains);
    EXPECT_LE(pool.size(), 2 * pool.chain_count() + 1);
    for (int i = 0; i < 50000; ++i) ASSERT_EQ(pool.intern("name" + std::to_string(i)), seen[i]) << i;
    EXPECT_EQ(pool.size(), 50001u);
}

TEST(StringPool, LongTextsGetAChunkOfTheirOwn) {
    StringPool pool;
    pool.intern("short");
    const std::string big(150000, 'x');
    const char* stored = pool.intern(big);
    EXPECT_EQ(std::string(stored), big);
    EXPECT_EQ(pool.chunk_count(), 2u);
    // The big chunk was enlarged by the text's length: its spare room is used next.
    const char* after = pool.intern("after");
    EXPECT_EQ(pool.chunk_count(), 2u);
    EXPECT_EQ(after, stored + big.size() + 1);
    EXPECT_EQ(pool.length_of(pool.index_of(big)), big.size());
}

TEST(StringPool, TextWithNulBytesIsKeptWhole) {
    StringPool pool;
    const std::string a("a\0b", 3), b("a\0c", 3);
    EXPECT_NE(pool.index_of(a), pool.index_of(b));
    EXPECT_EQ(pool.length_of(pool.index_of(a)), 3u);
}

TEST(StringPool, APrecomputedHashFindsTheSameEntry) {
    StringPool pool;
    const char* a = pool.intern("kvr_alpha");
    EXPECT_EQ(pool.intern("kvr_alpha", text_hash("kvr_alpha")), a);
    // Texts of every tail length (0 to 7 bytes past whole words) hash by their content only.
    const std::string long_name = "kvr_a_rather_long_name_";
    for (std::size_t n = 1; n <= long_name.size(); ++n) {
        const std::string copy = long_name.substr(0, n);
        EXPECT_EQ(text_hash(copy), text_hash(std::string_view(long_name).substr(0, n))) << n;
        const char* first = pool.intern(copy, text_hash(copy));
        EXPECT_EQ(pool.intern(std::string_view(long_name).substr(0, n)), first) << n;
    }
    EXPECT_EQ(pool.size(), 1 + 1 + long_name.size());
}

// Texts interned after a mark are forgotten by roll_back, those before keep
// their entries, and the pool works on as before. Later texts: a few short
// ones; so many that the chains double; a few so long that they take chunks
// of their own while the chains stay as they were (their texts are read while
// they are unlinked, before the chunks go).
TEST(StringPool, RollBackForgetsLaterTextsOnly) {
    struct Later {
        int count;
        std::size_t length;
    };
    for (const Later later : {Later{50, 0}, Later{3 * static_cast<int>(StringPool::kChains), 0},
                              Later{12, StringPool::kChunkSize / 3}}) {
        StringPool pool;
        std::vector<const char*> kept;
        for (int i = 0; i < 100; ++i) kept.push_back(pool.intern("k" + std::to_string(i)));
        const auto mark = pool.mark();
        const std::size_t chains = pool.chain_count();
        const std::size_t chunks = pool.chunk_count();
        for (int i = 0; i < later.count; ++i) pool.intern("later" + std::to_string(i) + std::string(later.length, 'x'));
        EXPECT_EQ(pool.chain_count() > chains, later.count > 50);
        EXPECT_EQ(pool.chunk_count() > chunks, later.count > 50 || later.length > 0);
        pool.roll_back(mark);
        EXPECT_EQ(pool.size(), 101u);
        for (int i = 0; i < 100; ++i) EXPECT_EQ(pool.intern("k" + std::to_string(i)), kept[i]);
        EXPECT_EQ(pool.size(), 101u);
        EXPECT_EQ(pool.chunk_count(), chunks);
        const std::uint32_t again = pool.index_of("later7");
        EXPECT_EQ(again, 101u);
        EXPECT_STREQ(pool.text_of(again), "later7");
        EXPECT_EQ(pool.index_of("later7"), again);
    }
}

}  // namespace
}  // namespace zv
