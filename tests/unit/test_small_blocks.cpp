// The replacement operator new and delete: every size gets aligned, distinct
// and writable storage; small blocks come from the pages, large ones and
// malloc's blocks pass through; blocks freed on another thread, and the lists
// of threads that ended, are reused without two live blocks ever overlapping.
#include "common/small_blocks.h"

#include "common/heap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

namespace sb = zv::small_blocks;

// Fills each block with its own byte and checks that no block was overwritten.
struct Blocks {
    struct Live {
        unsigned char* block;
        std::size_t size;
        unsigned char fill;
    };
    std::vector<Live> live;
    unsigned char next = 1;

    void add(std::size_t size) {
        auto* block = static_cast<unsigned char*>(::operator new(size));
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u) << size;
        std::memset(block, next, size);
        live.push_back({block, size, next});
        next = static_cast<unsigned char>(next % 250 + 1);
    }
    bool intact() const {
        for (const Live& l : live)
            if (std::count(l.block, l.block + l.size, l.fill) != static_cast<std::ptrdiff_t>(l.size)) return false;
        return true;
    }
    void release_every(std::size_t step) {
        for (std::size_t i = 0; i < live.size(); i += step) ::operator delete(live[i].block);
        std::vector<Live> kept;
        for (std::size_t i = 0; i < live.size(); ++i)
            if (i % step) kept.push_back(live[i]);
        live = std::move(kept);
    }
    void release_all() {
        for (const Live& l : live) ::operator delete(l.block);
        live.clear();
    }
};

// Pages readied ahead by another thread (the parser's, for the analysis):
// once a whole chunk was cut, the next one is mapped ahead; the thread that
// cuts pages then takes it, and its blocks are as good as any.
TEST(SmallBlocks, ChunksReadiedAheadAreTakenIntoUse) {
    if (!sb::active()) GTEST_SKIP() << "no small blocks in this build";
    const std::size_t taken_before = sb::ready_chunks_taken();
    Blocks blocks;
    // 256-byte blocks, 256 to a page: three chunks of 64 pages at most.
    for (int page = 0; page < 3 * 64 && sb::ready_chunks_taken() == taken_before; ++page) {
        std::thread([] { zv::prepare_pages_ahead(); }).join();
        for (int i = 0; i < 256; ++i) blocks.add(256);
    }
    EXPECT_GT(sb::ready_chunks_taken(), taken_before);
    EXPECT_TRUE(blocks.intact());
    for (const Blocks::Live& l : blocks.live) ASSERT_TRUE(sb::owns(l.block));
    blocks.release_all();
}

TEST(SmallBlocks, EverySizeGetsItsOwnAlignedStorageAndFreedBlocksAreReused) {
    Blocks blocks;
    for (int round = 0; round < 3; ++round) {
        for (std::size_t size = 0; size <= 300; ++size) blocks.add(size);
        for (std::size_t size : {std::size_t{4096}, std::size_t{1} << 20}) blocks.add(size);
        ASSERT_TRUE(blocks.intact());
        blocks.release_every(3);
        ASSERT_TRUE(blocks.intact());
    }
    std::set<unsigned char*> distinct;
    for (const auto& l : blocks.live) distinct.insert(l.block);
    EXPECT_EQ(distinct.size(), blocks.live.size());
    if (sb::active()) {
        EXPECT_TRUE(sb::owns(blocks.live.front().block));  // a block of a few bytes
        void* large = ::operator new(257);
        EXPECT_FALSE(sb::owns(large));
        ::operator delete(large);
        // A freed small block is the next one of its size.
        void* block = ::operator new(40);
        const auto freed = reinterpret_cast<std::uintptr_t>(block);
        ::operator delete(block);
        block = ::operator new(33);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block), freed);
        ::operator delete(block);
    }
    blocks.release_all();
}

TEST(SmallBlocks, MallocBlocksAreNotTakenForSmallBlocksAndNullIsIgnored) {
    void* block = std::malloc(24);
    ASSERT_NE(block, nullptr);
    EXPECT_FALSE(sb::owns(block));
    std::free(block);
    ::operator delete(nullptr);
    ::operator delete[](nullptr);
    auto* array = new (std::nothrow) int[10]();
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array[9], 0);
    delete[] array;
}

TEST(SmallBlocks, BlocksFreedByAThreadThatOnlyFreesAreReusedAfterItEnds) {
    if (!sb::active()) GTEST_SKIP() << "no small blocks in this build";
    constexpr int kBlocks = 20000;  // some pages' worth of one size
    std::size_t before = 0;
    for (int round = 0; round < 4; ++round) {
        std::vector<void*> made;
        std::thread maker([&] {
            for (int i = 0; i < kBlocks; ++i) made.push_back(::operator new(72));
        });
        maker.join();
        std::thread freer([&] {
            for (void* block : made) ::operator delete(block);
        });
        freer.join();
        // From the second round on, the maker takes what the freer left.
        if (round == 1) before = sb::pages_taken();
        if (round > 1) {
            EXPECT_EQ(sb::pages_taken(), before) << round;
        }
    }
}

TEST(SmallBlocks, ThreadsShareNothingLiveAndReuseWhatOthersFreed) {
    // Each thread builds strings and nodes; half of them are freed by the
    // main thread, the rest by the thread that made them, and threads end
    // while later ones start, so that ended threads' lists are taken over.
    constexpr int kThreads = 6, kBlocks = 20000;
    std::vector<std::vector<std::string*>> made(kThreads);
    for (int wave = 0; wave < 2; ++wave) {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([t, &made] {
                Blocks own;
                for (int i = 0; i < kBlocks; ++i) {
                    own.add(static_cast<std::size_t>((i * 37 + t) % 200));
                    made[t].push_back(new std::string(static_cast<std::size_t>(16 + i % 100), char('a' + t)));
                }
                ASSERT_TRUE(own.intact());
                own.release_all();
            });
        }
        for (auto& thread : threads) thread.join();
        for (int t = 0; t < kThreads; ++t) {
            for (std::string* text : made[t]) {
                ASSERT_EQ(text->find_first_not_of(char('a' + t)), std::string::npos);
                delete text;
            }
            made[t].clear();
        }
    }
    Blocks after;
    for (int i = 0; i < kBlocks; ++i) after.add(static_cast<std::size_t>(i % 256));
    EXPECT_TRUE(after.intact());
    after.release_all();
}

}  // namespace
