#include "common/large_stack.h"

#include <pthread.h>

#include <exception>

namespace zv {
namespace {

struct Work {
    std::function<void()> work;
    std::size_t stack;
    std::exception_ptr thrown;
};

// The stack size of this thread when it is one of ours, else 0.
thread_local std::size_t tStack = 0;

// An exception leaving the work (a run ended inside it, in tests) goes back
// to the waiting caller.
void* run_work(void* data) {
    auto* w = static_cast<Work*>(data);
    tStack = w->stack;
    try {
        w->work();
    } catch (...) {
        w->thrown = std::current_exception();
    }
    return nullptr;
}

bool start_thread(std::size_t bytes, Work& w, pthread_t& thread) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    const bool started = pthread_attr_setstacksize(&attributes, bytes) == 0 &&
                         pthread_create(&thread, &attributes, run_work, &w) == 0;
    pthread_attr_destroy(&attributes);
    return started;
}

}  // namespace

void run_with_stack(std::size_t bytes, const std::function<void()>& work) {
    // Work that nests inside such work stays on its thread.
    if (tStack >= bytes) {
        work();
        return;
    }
    StackThread thread;
    if (!thread.start(bytes, [&work] { work(); })) {
        work();
        return;
    }
    thread.join();
}

struct StackThread::State {
    Work work;
    pthread_t thread;
};

StackThread::~StackThread() {
    if (!state_) return;
    pthread_join(state_->thread, nullptr);
    delete state_;
}

bool StackThread::start(std::size_t bytes, std::function<void()> work) {
    if (state_) return false;
    auto* state = new State{{std::move(work), bytes, nullptr}, {}};
    if (!start_thread(bytes, state->work, state->thread)) {
        delete state;
        return false;
    }
    state_ = state;
    return true;
}

void StackThread::join() {
    if (!state_) return;
    pthread_join(state_->thread, nullptr);
    const std::exception_ptr thrown = state_->work.thrown;
    delete state_;
    state_ = nullptr;
    if (thrown) std::rethrow_exception(thrown);
}

}  // namespace zv
