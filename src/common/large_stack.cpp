#include "common/large_stack.h"

#include <pthread.h>

#include <exception>

namespace zv {
namespace {

struct Work {
    const std::function<void()>& work;
    std::exception_ptr thrown;
};

// An exception leaving the work (a run ended inside it, in tests) goes back
// to the waiting caller.
void* run_work(void* data) {
    auto* w = static_cast<Work*>(data);
    try {
        w->work();
    } catch (...) {
        w->thrown = std::current_exception();
    }
    return nullptr;
}

}  // namespace

void run_with_stack(std::size_t bytes, const std::function<void()>& work) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        work();
        return;
    }
    pthread_t thread;
    Work w{work, nullptr};
    const bool started = pthread_attr_setstacksize(&attributes, bytes) == 0 &&
                         pthread_create(&thread, &attributes, run_work, &w) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) {
        work();
        return;
    }
    pthread_join(thread, nullptr);
    if (w.thrown) std::rethrow_exception(w.thrown);
}

}  // namespace zv
