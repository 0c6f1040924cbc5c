// Units of text made on two lanes: the text and the reports come out in the
// order of the units whichever lane made them, long units are held back
// within bounds, and a report that ends the run ends it in its unit's place.
#include "codegen/emitter.h"
#include "codegen/unit_lanes.h"
#include "common/large_stack.h"
#include "diagnostics/message_catalog.h"
#include "diagnostics/messages.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <cstdlib>
#include <string>
#include <thread>

namespace zv {
namespace {

// Unit 0 waits (a while at most) until another lane has begun unit 1, so
// that the helper takes part whatever the scheduling.
struct Handshake {
    std::atomic<bool> second_started{false};
    std::atomic<bool> second_done{false};
    static void wait_for(const std::atomic<bool>& flag) {
        for (int i = 0; i < 2000 && !flag.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

void write_unit(Emitter& out, std::size_t i, std::size_t lines) {
    out.appendf("static int unit_%zu (void)", i);
    out.emit_line();
    out.open_block();
    for (std::size_t k = 0; k < lines; ++k) {
        out.appendf("kvr_step (%zu, %zu);", i, k);
        out.emit_line();
    }
    out.close_block();
}

std::size_t lines_of(std::size_t i) {
    if (i == 1) return 300000;  // more than a unit may hold before its turn
    return (i * 7919) % 3000;
}

TEST(UnitLanes, TextComesOutInUnitOrder) {
    constexpr std::size_t kUnits = 40;
    std::string serial;
    {
        Emitter out(serial);
        for (std::size_t i = 0; i < kUnits; ++i) write_unit(out, i, lines_of(i));
    }
    std::string text;
    Emitter out(text);
    out.emit_line("/* before */");
    Handshake hand;
    generate_units(out, kUnits, [&](Emitter& lane) -> UnitGenerator {
        return [&](std::size_t i) {
            if (i == 1) hand.second_started = true;
            if (i == 0) Handshake::wait_for(hand.second_started);
            write_unit(lane, i, lines_of(i));
        };
    });
    out.emit_line("/* after */");
    ASSERT_EQ(text.size(), serial.size() + 25);
    EXPECT_TRUE(text == "/* before */\n" + serial + "/* after */\n");
}

// The first units taken one at a time (large ones, such as the message
// functions): among many units, unit 1 goes to the other lane while unit 0
// is being made, which a batch of the first units would not allow.
TEST(UnitLanes, SingleUnitsGoToBothLanes) {
    constexpr std::size_t kUnits = 700;
    std::string serial;
    {
        Emitter out(serial);
        for (std::size_t i = 0; i < kUnits; ++i) write_unit(out, i, i % 7);
    }
    std::string text;
    Emitter out(text);
    Handshake hand;
    std::atomic<int> lane_of_0{-1}, lane_of_1{-1};
    generate_units(
        out, kUnits,
        [&](Emitter& lane) -> UnitGenerator {
            return [&](std::size_t i) {
                if (i == 1) {
                    lane_of_1 = on_helper_lane() ? 1 : 0;
                    hand.second_started = true;
                }
                if (i == 0) {
                    lane_of_0 = on_helper_lane() ? 1 : 0;
                    Handshake::wait_for(hand.second_started);
                }
                write_unit(lane, i, i % 7);
            };
        },
        2);
    EXPECT_NE(lane_of_0.load(), lane_of_1.load());
    EXPECT_TRUE(text == serial);
}

TEST(UnitLanes, NoUnitsAndOneUnit) {
    std::string text;
    Emitter out(text);
    generate_units(out, 0, [](Emitter&) -> UnitGenerator { return [](std::size_t) { FAIL(); }; });
    generate_units(out, 1, [](Emitter& lane) -> UnitGenerator {
        return [&lane](std::size_t i) { write_unit(lane, i, 1); };
    });
    EXPECT_EQ(text, "static int unit_0 (void)\n {\n  kvr_step (0, 0);\n }\n");
}

// Short runs, where a lane often ends its unit while the other is between
// units or about to wait: every run ends, with its text whole. A run that
// waited for good ends the child here after a minute.
TEST(UnitLanes, ManyShortRunsAllEnd) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto rounds = [] {
        std::thread([] {
            std::this_thread::sleep_for(std::chrono::seconds(60));
            std::_Exit(3);
        }).detach();
        for (std::size_t round = 0; round < 3000; ++round) {
            const std::size_t units = 2 + round % 3;
            std::string serial, text;
            {
                Emitter out(serial);
                for (std::size_t i = 0; i < units; ++i) write_unit(out, i, round % 4);
            }
            Emitter out(text);
            generate_units(out, units, [&](Emitter& lane) -> UnitGenerator {
                return [&lane, round](std::size_t i) { write_unit(lane, i, round % 4); };
            });
            if (text != serial) std::_Exit(2);
        }
        std::_Exit(0);
    };
    EXPECT_EXIT(rounds(), ::testing::ExitedWithCode(0), "");
}

class UnitLaneReports : public ::testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        registerMessageCatalog();
    }
};

// Many short units, taken by the lanes a few at a time: the text and every
// unit's report still come in the order of the units.
TEST_F(UnitLaneReports, ManyUnitsKeepTheirOrder) {
    constexpr std::size_t kUnits = 700;
    std::string serial, expected_reports;
    {
        Emitter out(serial);
        for (std::size_t i = 0; i < kUnits; ++i) {
            write_unit(out, i, i % 5);
            if (i % 3 == 0)
                expected_reports += "Zolmex-E-UNKCLPROC,  [t.zod:" + std::to_string(i + 1) + "] Unknown procedure 'p" +
                                    std::to_string(i) + "'\n";
        }
    }
    const unsigned errors = errorCount();
    testing::internal::CaptureStderr();
    std::string text;
    Emitter out(text);
    // Unit 0 holds its lane until the other lane has made a few units.
    std::atomic<int> first_lane{-1};
    std::atomic<std::size_t> other_units{0};
    generate_units(out, kUnits, [&](Emitter& lane) -> UnitGenerator {
        return [&](std::size_t i) {
            const int here = on_helper_lane() ? 1 : 0;
            if (i == 0) {
                first_lane = here;
                for (int k = 0; k < 2000 && other_units.load() < 20; ++k)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            } else if (first_lane.load() >= 0 && first_lane.load() != here) {
                ++other_units;
            }
            if (i % 3 == 0) {
                const std::string name = "p" + std::to_string(i);
                reportAtText(Severity::Error, Code::UNKCLPROC, name.c_str(), "t.zod", static_cast<int>(i + 1));
            }
            write_unit(lane, i, i % 5);
        };
    });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), expected_reports);
    EXPECT_EQ(errorCount(), errors + (kUnits + 2) / 3);
    EXPECT_GE(other_units.load(), 20u);
    EXPECT_TRUE(text == serial);
}

// Unit 1 reports first in time, unit 0 after it: the lines follow the units.
TEST_F(UnitLaneReports, ReportsFollowTheUnits) {
    const unsigned errors = errorCount();
    testing::internal::CaptureStderr();
    std::string text;
    Emitter out(text);
    Handshake hand;
    generate_units(out, 3, [&](Emitter& lane) -> UnitGenerator {
        return [&](std::size_t i) {
            if (i == 1) {
                hand.second_started = true;
                // Work that wants a deep stack stays on the lane's thread.
                run_with_stack(kDeepWorkStack, [] { reportAtText(Severity::Error, Code::UNKCLPROC, "B", "t.zod", 2); });
                hand.second_done = true;
            } else if (i == 0) {
                Handshake::wait_for(hand.second_done);
                reportAtText(Severity::Error, Code::UNKCLPROC, "A", "t.zod", 1);
            } else {
                reportAtText(Severity::Error, Code::UNKCLPROC, "C", "t.zod", 3);
            }
            write_unit(lane, i, 2);
        };
    });
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Zolmex-E-UNKCLPROC,  [t.zod:1] Unknown procedure 'A'\n"
              "Zolmex-E-UNKCLPROC,  [t.zod:2] Unknown procedure 'B'\n"
              "Zolmex-E-UNKCLPROC,  [t.zod:3] Unknown procedure 'C'\n");
    EXPECT_EQ(errorCount(), errors + 3);
}

// A fatal report of a later unit, made while an earlier one still runs, ends
// the run after the earlier unit's reports; no unit after it reports.
TEST_F(UnitLaneReports, AnEndWaitsForTheUnitsBeforeIt) {
    const auto run = [] {
        std::string text;
        Emitter out(text);
        Handshake hand;
        generate_units(out, 6, [&](Emitter& lane) -> UnitGenerator {
            return [&](std::size_t i) {
                write_unit(lane, i, 50000);
                if (i == 1) {
                    hand.second_started = true;
                    reportAtText(Severity::Fatal, Code::CANNOTOPN, "x.zod", "t.zod", 2);
                } else if (i == 0) {
                    Handshake::wait_for(hand.second_started);
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    reportAtText(Severity::Error, Code::UNKCLPROC, "A", "t.zod", 1);
                } else {
                    reportAtText(Severity::Error, Code::UNKCLPROC, "C", "t.zod", 3);
                }
            };
        });
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(7),
                "^Zolmex-E-UNKCLPROC,  \\[t.zod:1\\] Unknown procedure 'A'\n"
                "Zolmex-F-CANNOTOPN,  \\[t.zod:2\\] [^\n]*x.zod[^\n]*\n$");
}

// The helper's unit ends the run while the caller's lane is in a later
// unit: what that later unit reports or writes is never given.
TEST_F(UnitLaneReports, NothingAfterAnEnd) {
    const auto run = [] {
        std::string text;
        Emitter out(text);
        std::atomic<long> helper_unit{-1}, caller_unit{-1};
        generate_units(out, 4, [&](Emitter& lane) -> UnitGenerator {
            return [&](std::size_t unit) {
                const long i = static_cast<long>(unit);
                if (on_helper_lane()) {
                    helper_unit = i;
                    for (int k = 0; k < 2000 && caller_unit.load() <= i; ++k)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    reportAtText(Severity::Fatal, Code::CANNOTOPN, "x.zod", "t.zod", 2);
                }
                caller_unit = i;
                const long h = helper_unit.load();
                const bool later = h >= 0 && i > h;
                if (later) reportAtText(Severity::Error, Code::UNKCLPROC, "C", "t.zod", 3);
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                write_unit(lane, unit, 300000);
                if (later) reportAtText(Severity::Error, Code::UNKCLPROC, "D", "t.zod", 4);
            };
        });
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(7), "^Zolmex-F-CANNOTOPN,  \\[t.zod:2\\] [^\n]*x.zod[^\n]*\n$");
}

// While the unit due is long in the making, the helper does not run ahead
// without bound: it stops taking units once much is held back. (Units the
// helper made before the caller's lane began are written when it begins:
// only those after the caller's unit are held.)
TEST(UnitLanes, TheHelperStopsWhenMuchIsHeld) {
    constexpr std::size_t kUnits = 40;
    std::atomic<std::size_t> finished{0}, done{0};
    std::atomic<bool> caller_waited{false};
    std::array<std::atomic<bool>, kUnits> by_helper{};
    std::string text;
    Emitter out(text);
    generate_units(out, kUnits, [&](Emitter& lane) -> UnitGenerator {
        return [&](std::size_t i) {
            if (on_helper_lane()) {
                write_unit(lane, i, 40000);  // about 1 MB
                by_helper[i] = true;
                ++finished;
            } else {
                if (!caller_waited.exchange(true)) {
                    // About 30 such units could be made meanwhile.
                    for (int k = 0; k < 1000 && finished.load() < 30; ++k)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    std::size_t held = 0;
                    for (std::size_t later = i + 1; later < kUnits; ++later) held += by_helper[later] ? 1 : 0;
                    EXPECT_LE(held, 21u);  // 16 MB held, with the units under way
                }
                write_unit(lane, i, 40000);
            }
            ++done;
        };
    });
    EXPECT_EQ(done.load(), kUnits);
}

// A helper that fails makes the caller's lane stop taking units; the
// failure comes back to the caller.
TEST(UnitLanes, AFailingHelperStopsTheCaller) {
    constexpr std::size_t kUnits = 200;
    std::atomic<std::size_t> caller_units{0};
    std::atomic<bool> failed{false};
    std::string text;
    Emitter out(text);
    const LaneMaker lanes = [&](Emitter& lane) -> UnitGenerator {
        return [&](std::size_t i) {
            if (on_helper_lane()) {
                failed = true;
                throw std::runtime_error("lane failed");
            }
            if (++caller_units == 1) {
                Handshake::wait_for(failed);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            write_unit(lane, i, 10);
        };
    };
    EXPECT_THROW(generate_units(out, kUnits, lanes), std::runtime_error);
    EXPECT_LE(caller_units.load(), 2u);
}

}  // namespace
}  // namespace zv
