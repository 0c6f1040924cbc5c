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
// here when this thread has such a stack already, or when no such thread can
// be made.
void run_with_stack(std::size_t bytes, const std::function<void()>& work);

// The same work started beside the caller, which joins it later. An exception
// leaving the work is thrown again by join().
class StackThread {
public:
    StackThread() = default;
    ~StackThread();
    StackThread(const StackThread&) = delete;
    StackThread& operator=(const StackThread&) = delete;

    // False when no such thread can be made (the work has not run).
    bool start(std::size_t bytes, std::function<void()> work);
    // Waits for the work; rethrows what left it. Does nothing when not started.
    void join();

private:
    struct State;
    State* state_ = nullptr;
};

}  // namespace zv
