// Work whose recursion follows the nesting of a script (scenarios inside
// scenarios, as deep as the parser accepts) runs on a thread of its own with
// a stack large enough for that depth; the caller waits for it.
#pragma once

#include <cstddef>
#include <functional>

namespace zv {

// Room for the deepest nesting the parser accepts; only the pages touched
// are ever backed by memory.
constexpr std::size_t kDeepWorkStack = std::size_t{1} << 30;

// Runs `work` on a thread with a stack of `bytes` and waits for it; runs it
// here when no such thread can be made.
void run_with_stack(std::size_t bytes, const std::function<void()>& work);

}  // namespace zv
