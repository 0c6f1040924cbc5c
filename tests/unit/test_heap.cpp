// The heap set-up keeps the allocator's promises: memory freed is reused,
// calloc still gives zeros on reused memory, and blocks beyond the top pad
// and beyond the mapping threshold are still served. Huge pages are asked
// for over the whole 2 MiB stretches of a block only.
#include "common/heap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

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

#if defined(__linux__) && defined(MADV_HUGEPAGE)
namespace {

// The ranges of this process's mappings that carry the huge-page advice.
std::vector<std::pair<std::uintptr_t, std::uintptr_t>> advisedRanges() {
    std::vector<std::pair<std::uintptr_t, std::uintptr_t>> ranges;
    std::ifstream maps("/proc/self/smaps");
    std::string line;
    std::uintptr_t start = 0, end = 0;
    while (std::getline(maps, line)) {
        unsigned long long a = 0, b = 0;
        char dash = 0;
        std::istringstream head(line);
        if (head >> std::hex >> a >> dash >> b && dash == '-') {
            start = a;
            end = b;
        } else if (line.rfind("VmFlags:", 0) == 0 && line.find(" hg") != std::string::npos) {
            ranges.emplace_back(start, end);
        }
    }
    return ranges;
}

}  // namespace

TEST(Heap, HugePagesAreAskedForWholeStretchesOnly) {
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const std::size_t size = 5 * kHuge;
    void* area = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(area, MAP_FAILED);
    const auto base = reinterpret_cast<std::uintptr_t>(area);
    if (madvise(area, 4096, MADV_NOHUGEPAGE) != 0) {
        munmap(area, size);
        GTEST_SKIP() << "no huge pages on this system";
    }
    // From one byte past a stretch boundary to one byte past the third
    // boundary after it: only the two whole stretches between are advised.
    const std::uintptr_t first = (base + kHuge - 1) & ~(kHuge - 1);
    zv::advise_huge_pages(reinterpret_cast<void*>(first + 1), 3 * kHuge);
    // A block within one stretch gets nothing.
    zv::advise_huge_pages(reinterpret_cast<void*>(first + 3 * kHuge + 64), kHuge - 128);
    std::vector<std::pair<std::uintptr_t, std::uintptr_t>> inside;
    for (const auto& range : advisedRanges())
        if (range.first < base + size && range.second > base) inside.push_back(range);
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_EQ(zv::advise_huge_pages(reinterpret_cast<void*>(first + 1), 3 * kHuge),
              std::make_pair(first + kHuge, first + 3 * kHuge));
    EXPECT_EQ(inside[0].first, first + kHuge);
    EXPECT_EQ(inside[0].second, first + 3 * kHuge);
    munmap(area, size);
}
#endif
