// An append-only store of objects that never move: the owner of the nodes of
// a syntax tree and of the entries of a semantic model, which link to each
// other by address. Objects are built in large blocks (less overhead per
// object than a deque's small ones) and destroyed with the store.
#pragma once

#include "common/heap.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace zv {

template <class T, std::size_t BlockSize = 1024>
class StableStore {
public:
    StableStore() = default;
    StableStore(const StableStore&) = delete;
    StableStore& operator=(const StableStore&) = delete;
    ~StableStore() {
        std::allocator<T> allocator;
        std::size_t left = count_;
        for (T* block : blocks_) {
            const std::size_t here = left < BlockSize ? left : BlockSize;
            std::destroy_n(block, here);
            left -= here;
            allocator.deallocate(block, BlockSize);
        }
    }

    // A new value-initialised object.
    T& emplace_back() {
        if (used_ == BlockSize) {
            blocks_.reserve(blocks_.size() + 1);
            blocks_.push_back(std::allocator<T>().allocate(BlockSize));
            populate(blocks_.back(), BlockSize * sizeof(T));
            used_ = 0;
        }
        T* object = std::construct_at(blocks_.back() + used_);
        ++used_;
        ++count_;
        return *object;
    }

    std::size_t size() const { return count_; }

private:
    std::vector<T*> blocks_;
    std::size_t used_ = BlockSize;  // objects built in the last block
    std::size_t count_ = 0;
};

}  // namespace zv
