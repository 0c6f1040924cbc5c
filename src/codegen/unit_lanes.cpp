#include "codegen/unit_lanes.h"

#include "codegen/emitter.h"
#include "common/large_stack.h"
#include "diagnostics/report.h"
#include "diagnostics/run_end.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zv {

namespace {

// Text a batch that is not yet due may hold, and all batches together: room
// for one lane to go on while the other makes a unit of a few megabytes (the
// message function of a type with thousands of value definitions).
constexpr std::size_t kUnitHeld = std::size_t{4} << 20;
constexpr std::size_t kAllHeld = std::size_t{16} << 20;

// A lane takes consecutive units in batches, so that its text comes in long
// pieces that reach the file without being copied again. Batches stay small
// enough for the two lanes to share the work evenly.
constexpr std::size_t kMaxBatch = 8;
constexpr std::size_t kBatchesPerLane = 32;

std::size_t batch_size(std::size_t count) {
    return std::clamp<std::size_t>(count / (2 * kBatchesPerLane), 1, kMaxBatch);
}

// The helper gave up its unit because the caller stopped.
struct LaneStopped {};

thread_local bool tHelperLane = false;

class Lanes {
public:
    Lanes(Emitter& out, std::size_t count, std::size_t single)
        : out_(out),
          count_(count),
          single_(std::min(single, count)),
          batch_(batch_size(count - single_)),
          slots_(single_ + (count - single_ + batch_ - 1) / batch_) {}

    // The caller's lane. Returns when every unit is written, or gives the
    // end of the run that a unit's report made, once that unit is due.
    void run_caller(const LaneMaker& make_lane, StackThread& helper) {
        run_lane(make_lane, true);
        std::unique_lock lock(mutex_);
        wait_while(lock, [&] { return !ending_ && waiting_on_helper(); });
        lock.unlock();
        // A unit of the helper after an end is not wanted.
        stop();
        helper.join();
        if (ending_) replayHeldReports(*ending_);
    }

    // The helper's lane.
    void run_helper(const LaneMaker& make_lane) {
        tHelperLane = true;
        try {
            run_lane(make_lane, false);
        } catch (const LaneStopped&) {
        } catch (...) {
            // The run fails: no unit is started any more.
            const std::lock_guard lock(mutex_);
            helper_failed_ = true;
            abandoned_ = true;
            next_ = slots_.size();
            changed_.notify_all();
            throw;
        }
    }

    // Tells the helper to give up its unit.
    void stop() {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        abandoned_ = true;
        room_.notify_all();
    }

private:
    struct Slot {
        std::deque<std::string> pieces;
        std::size_t bytes = 0;
        bool done = false;
        HeldReports held;
    };

    class Sink : public PieceSink {
    public:
        Sink(Lanes& lanes, bool caller) : lanes_(lanes), caller_(caller) {}
        void take(std::string&& piece) override { lanes_.take(unit, caller_, std::move(piece)); }
        std::size_t unit = 0;

    private:
        Lanes& lanes_;
        bool caller_;
    };

    // Takes batches of units in turn until none is left. Each lane holds the
    // reports of its batch; they are given when the batch's text is written.
    // Making a lane reports nothing.
    void run_lane(const LaneMaker& make_lane, bool caller) {
        Sink sink(*this, caller);
        Emitter lane(sink);
        const UnitGenerator generate = make_lane(lane);
        ReportHold hold;
        std::unique_lock lock(mutex_);
        for (;;) {
            // A new unit waits while much is held back.
            if (caller)
                wait_while(lock, [&] { return held_ > kAllHeld && !ending_ && waiting_on_helper(); });
            else
                room_.wait(lock, [&] { return held_ <= kAllHeld || stopped_; });
            if (stopped_ || next_ >= slots_.size()) return;
            const std::size_t unit = next_++;
            sink.unit = unit;
            lock.unlock();
            bool ended = false;
            try {
                const std::size_t first = first_of(unit), end = first_of(unit + 1);
                for (std::size_t index = first; index < end; ++index) {
                    // A failed helper or a stop ends the batch too.
                    if (index > first && abandoned_.load(std::memory_order_relaxed)) {
                        if (!caller) throw LaneStopped{};
                        break;
                    }
                    generate(index);
                }
                lane.flush();
            } catch (const HeldRunEnd&) {
                // The run ends with this unit: its text is not wanted.
                lane.discard();
                ended = true;
            } catch (...) {
                lane.discard();
                throw;
            }
            HeldReports held = hold.take();
            lock.lock();
            Slot& slot = slots_[unit];
            slot.done = true;
            slot.held = std::move(held);
            // After an end no unit is started; those before it are finished.
            if (ended) next_ = slots_.size();
            if (caller) drain(lock);
            else changed_.notify_all();
        }
    }

    void take(std::size_t unit, bool caller, std::string&& piece) {
        std::unique_lock lock(mutex_);
        Slot& slot = slots_[unit];
        slot.bytes += piece.size();
        held_ += piece.size();
        slot.pieces.push_back(std::move(piece));
        if (caller) {
            wait_while(lock, [&] { return slot.bytes > kUnitHeld && head_ != unit && !ending_ && waiting_on_helper(); });
            return;
        }
        changed_.notify_all();
        room_.wait(lock, [&] { return slot.bytes <= kUnitHeld || stopped_; });
        if (stopped_) throw LaneStopped{};
    }

    // The first unit of a batch (count_ past the last).
    std::size_t first_of(std::size_t slot) const {
        if (slot <= single_) return slot;
        return std::min(count_, single_ + (slot - single_) * batch_);
    }

    // Whether units are still to be written and the helper can make them.
    bool waiting_on_helper() const { return head_ < slots_.size() && !helper_failed_; }

    // Writes what is due, in order; only the caller's thread does this.
    void drain(std::unique_lock<std::mutex>& lock) {
        while (!ending_ && head_ < slots_.size()) {
            Slot& slot = slots_[head_];
            while (!slot.pieces.empty()) {
                std::string piece = std::move(slot.pieces.front());
                slot.pieces.pop_front();
                slot.bytes -= piece.size();
                held_ -= piece.size();
                room_.notify_all();
                lock.unlock();
                out_.pass(std::move(piece));
                lock.lock();
            }
            if (!slot.done) return;
            if (slot.held) {
                if (heldEnd(*slot.held)) {
                    ending_ = std::move(slot.held);
                    return;
                }
                const auto held = std::move(slot.held);
                lock.unlock();
                replayHeldReports(*held);
                lock.lock();
            }
            ++head_;
        }
    }

    // Writes what is due until `blocked` no longer holds, waiting for the
    // helper in between.
    template <class Blocked>
    void wait_while(std::unique_lock<std::mutex>& lock, Blocked blocked) {
        for (;;) {
            drain(lock);
            if (!blocked()) return;
            changed_.wait(lock);
        }
    }

    Emitter& out_;
    const std::size_t count_;   // units
    const std::size_t single_;  // the first units, taken one at a time
    const std::size_t batch_;   // units a lane takes at once after them
    std::mutex mutex_;
    std::condition_variable changed_;  // the helper made text or ended a unit
    std::condition_variable room_;     // the caller wrote text the helper held
    std::vector<Slot> slots_;  // one per batch
    std::size_t next_ = 0;     // the next batch to take
    std::size_t head_ = 0;     // the next batch to write
    std::size_t held_ = 0;  // bytes held back in all units
    bool stopped_ = false;
    bool helper_failed_ = false;
    std::atomic<bool> abandoned_{false};  // stopped_ or helper_failed_, read between the units of a batch
    HeldReports ending_;  // the reports of a unit that ended the run, once due: nothing after it is written
};

}  // namespace

bool on_helper_lane() { return tHelperLane; }

void generate_units(Emitter& out, std::size_t count, const LaneMaker& make_lane, std::size_t single) {
    if (count == 0) return;
    out.flush();
    Lanes lanes(out, count, single);
    // Counted from before the helper starts until after it is joined.
    const HelperAtWork at_work;
    StackThread helper;
    if (count > 1) helper.start(kDeepWorkStack, [&] { lanes.run_helper(make_lane); });
    try {
        run_with_stack(kDeepWorkStack, [&] { lanes.run_caller(make_lane, helper); });
    } catch (...) {
        lanes.stop();
        try {
            helper.join();
        } catch (...) {
        }
        throw;
    }
}

}  // namespace zv
