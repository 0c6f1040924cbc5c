// Work that runs beside the caller's on a thread with a deep stack while its
// reports keep the place they would have had if it had run at once: they are
// held, and given before any report made after the work began, before the
// counters are read, or when the work is joined. Output passes whose text no
// later pass waits for run this way.
#pragma once

#include <functional>
#include <memory>

namespace zv {

struct AsideState;

class AsideWork {
public:
    // Starts `work`; runs it here and now when no thread can be made.
    explicit AsideWork(std::function<void()> work);
    // Waits for work not joined yet; its reports are then dropped (the run
    // is being left another way).
    ~AsideWork();
    AsideWork(const AsideWork&) = delete;
    AsideWork& operator=(const AsideWork&) = delete;

    // Waits for this work and every work started before it, and gives their
    // reports in that order; a held end ends the run here. An exception that
    // left the work is thrown again.
    void join();

private:
    std::unique_ptr<AsideState> state_;
};

// Joins every pending work and gives its reports in the order the works
// began (what reporting, reading a counter or ending the run does first on
// a thread that reports at once).
void settleAsideWork();

// A step with an effect outside the reports (a line of the tool log): taken
// now when no work is pending, otherwise in its place after the works begun
// before it, once they are settled; never when one of them ends the run.
void afterAsideWork(std::function<void()> step);
// The run ends without what is pending: waits for every work still going on
// (before the outputs it writes to are thrown away) and forgets their
// reports and the steps not taken.
void abandonAsideWork();

}  // namespace zv
