#include "diagnostics/aside_work.h"

#include "common/large_stack.h"
#include "diagnostics/report.h"
#include "diagnostics/run_end.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <vector>

namespace zv {

struct AsideState {
    std::function<void()> work;
    HelperAtWork at_work;  // from before the thread starts until it is joined
    StackThread thread;
    HeldReports held;
    std::exception_ptr thrown;
};

namespace {

// A work started and not joined, or a step to be taken after the works
// before it.
struct Pending {
    AsideState* work;
    std::function<void()> step;
};

std::mutex gMutex;
std::vector<Pending> gPending;  // in the order they were started or asked for

// Set while this thread gives the reports of joined works: a work started
// after them comes after their last line, not inside their lines.
thread_local bool tGiving = false;

void forget(AsideState* state) {
    const std::lock_guard<std::mutex> lock(gMutex);
    std::erase_if(gPending, [state](const Pending& p) { return p.work == state; });
}

// Joins the pending works up to `last` (all with null), then gives their
// reports and takes the steps between them in order. All are joined before
// any is given, so that a report given here does not settle a later work in
// the middle of an earlier one's lines.
void settleUpTo(const AsideState* last) {
    std::vector<Pending> due;
    {
        const std::lock_guard<std::mutex> lock(gMutex);
        auto end = gPending.end();
        if (last) {
            end = std::find_if(gPending.begin(), gPending.end(), [last](const Pending& p) { return p.work == last; });
            if (end == gPending.end()) return;  // joined already
            ++end;
        }
        due.assign(std::make_move_iterator(gPending.begin()), std::make_move_iterator(end));
        gPending.erase(gPending.begin(), end);
    }
    for (Pending& p : due)
        if (p.work) p.work->thread.join();
    struct Giving {
        Giving() { tGiving = true; }
        ~Giving() { tGiving = false; }
    } giving;
    for (Pending& p : due) {
        if (!p.work) {
            p.step();
            continue;
        }
        // What the work reported before it failed comes first.
        if (HeldReports held = std::move(p.work->held)) replayHeldReports(*held);
        if (p.work->thrown) std::rethrow_exception(p.work->thrown);
    }
}

}  // namespace

AsideWork::AsideWork(std::function<void()> work) : state_(std::make_unique<AsideState>()) {
    AsideState* state = state_.get();
    state->work = std::move(work);
    auto held_work = [state] {
        ReportHold hold;
        try {
            state->work();
        } catch (const HeldRunEnd&) {
            // The end is among the held lines.
        } catch (...) {
            state->thrown = std::current_exception();
        }
        state->held = hold.release();
    };
    {
        const std::lock_guard<std::mutex> lock(gMutex);
        gPending.push_back({state, {}});
    }
    if (state->thread.start(kDeepWorkStack, held_work)) return;
    // No thread: the work runs now, in its place among the reports.
    forget(state);
    settleAsideWork();
    run_with_stack(kDeepWorkStack, state->work);
}

AsideWork::~AsideWork() {
    forget(state_.get());
    try {
        state_->thread.join();
    } catch (...) {
    }
}

void AsideWork::join() { settleUpTo(state_.get()); }

void settleAsideWork() {
    if (!tGiving) settleUpTo(nullptr);
}

void afterAsideWork(std::function<void()> step) {
    {
        const std::lock_guard<std::mutex> lock(gMutex);
        if (!gPending.empty()) {
            gPending.push_back({nullptr, std::move(step)});
            return;
        }
    }
    step();
}

void abandonAsideWork() {
    std::vector<Pending> left;
    {
        const std::lock_guard<std::mutex> lock(gMutex);
        left.swap(gPending);
    }
    for (Pending& p : left) {
        if (!p.work) continue;
        try {
            p.work->thread.join();
        } catch (...) {
        }
    }
}

}  // namespace zv
