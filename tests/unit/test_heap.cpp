// The heap set-up keeps the allocator's promises: memory freed is reused,
// calloc still gives zeros on reused memory, and blocks beyond the top pad
// and beyond the mapping threshold are still served.
#include "common/heap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

TEST(Heap, AllocatorKeepsItsPromisesAfterSetUp) {
    zv::prepare_heap();
    zv::prepare_heap();  // twice does no harm
    std::vector<void*> blocks;
    for (std::size_t size : {std::size_t{100}, std::size_t{1} << 16, std::size_t{3} << 20, std::size_t{40} << 20}) {
        void* block = std::malloc(size);
        ASSERT_NE(block, nullptr);
        std::memset(block, 0xA5, size);
        blocks.push_back(block);
    }
    for (void* block : blocks) std::free(block);
    for (std::size_t size : {std::size_t{100}, std::size_t{1} << 16, std::size_t{3} << 20}) {
        auto* zeroed = static_cast<unsigned char*>(std::calloc(size, 1));
        ASSERT_NE(zeroed, nullptr);
        std::size_t nonzero = 0;
        for (std::size_t i = 0; i < size; ++i) nonzero += zeroed[i] != 0;
        EXPECT_EQ(nonzero, 0u) << size;
        std::free(zeroed);
    }
    std::vector<int> growing;
    for (int i = 0; i < 3'000'000; ++i) growing.push_back(i);
    EXPECT_EQ(growing[2'999'999], 2'999'999);
}
