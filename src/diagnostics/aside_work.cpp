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

std::mutex gMutex;
std::vector<AsideState*> gPending;  // started and not joined, in start order

// Set while this thread gives the reports of joined works: a work started
// after them comes after their last line, not inside their lines.
thread_local bool tGiving = false;

void forget(AsideState* state) {
    const std::lock_guard<std::mutex> lock(gMutex);
    gPending.erase(std::remove(gPending.begin(), gPending.end(), state), gPending.end());
}

// Joins the pending works up to `last` (all with null) and gives their
// reports in start order. All are joined before any is given, so that a
// report given here does not settle a later work in the middle of an
// earlier one's lines.
void settleUpTo(const AsideState* last) {
    std::vector<AsideState*> due;
    {
        const std::lock_guard<std::mutex> lock(gMutex);
        auto end = gPending.end();
        if (last) {
            end = std::find(gPending.begin(), gPending.end(), last);
            if (end == gPending.end()) return;  // joined already
            ++end;
        }
        due.assign(gPending.begin(), end);
        gPending.erase(gPending.begin(), end);
    }
    for (AsideState* state : due) state->thread.join();
    struct Giving {
        Giving() { tGiving = true; }
        ~Giving() { tGiving = false; }
    } giving;
    for (AsideState* state : due) {
        if (state->thrown) std::rethrow_exception(state->thrown);
        if (HeldReports held = std::move(state->held)) replayHeldReports(*held);
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
        state->held = hold.take();
    };
    {
        const std::lock_guard<std::mutex> lock(gMutex);
        gPending.push_back(state);
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

}  // namespace zv
