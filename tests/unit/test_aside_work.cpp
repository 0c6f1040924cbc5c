// Work beside the caller's: its reports come out before every report made
// after it began, in the order the works began, whatever the timing; the
// counters include them; an end among them ends the run in their place; a
// work left without joining gives nothing.
#include "diagnostics/aside_work.h"
#include "diagnostics/message_catalog.h"
#include "diagnostics/messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace zv {
namespace {

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void unknown(const char* name, int line) { reportAtText(Severity::Error, Code::UNKCLPROC, name, "t.zod", line); }

class AsideWorkTest : public ::testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        registerMessageCatalog();
    }
};

// The works report late; the caller's report, made at once, still follows
// theirs, and the first work's lines come before the second's.
TEST_F(AsideWorkTest, ReportsKeepTheirPlace) {
    const unsigned errors = errorCount();
    testing::internal::CaptureStderr();
    int value = 0;
    AsideWork first([&] {
        pause_ms(60);
        unknown("A", 1);
        value = 1;
    });
    AsideWork second([] { unknown("B", 2); });
    unknown("C", 3);
    EXPECT_EQ(value, 1);  // joined by the report
    second.join();
    first.join();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Zolmex-E-UNKCLPROC,  [t.zod:1] Unknown procedure 'A'\n"
              "Zolmex-E-UNKCLPROC,  [t.zod:2] Unknown procedure 'B'\n"
              "Zolmex-E-UNKCLPROC,  [t.zod:3] Unknown procedure 'C'\n");
    EXPECT_EQ(errorCount(), errors + 3);
}

// Joining a work gives its reports and those of the works before it; a
// work started later goes on (here it waits for the caller meanwhile).
TEST_F(AsideWorkTest, JoiningLeavesLaterWorksGoingOn) {
    testing::internal::CaptureStderr();
    std::atomic<bool> go{false}, went{false};
    AsideWork first([] { unknown("A", 1); });
    AsideWork second([&] {
        for (int i = 0; i < 2000 && !go.load(); ++i) pause_ms(1);
        went = go.load();
        unknown("B", 2);
    });
    first.join();
    go = true;
    second.join();
    EXPECT_TRUE(went.load());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Zolmex-E-UNKCLPROC,  [t.zod:1] Unknown procedure 'A'\n"
              "Zolmex-E-UNKCLPROC,  [t.zod:2] Unknown procedure 'B'\n");
}

// Reading the error count is a point in the sequence too.
TEST_F(AsideWorkTest, CountersIncludeTheWork) {
    const unsigned errors = errorCount();
    testing::internal::CaptureStderr();
    AsideWork work([] {
        pause_ms(30);
        unknown("A", 1);
    });
    EXPECT_EQ(errorCount(), errors + 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("'A'"), std::string::npos);
}

// A fatal report of the first work ends the run there: the second work's
// lines and the caller's never come out.
TEST_F(AsideWorkTest, AnEndInAWorkEndsTheRunInItsPlace) {
    const auto run = [] {
        AsideWork first([] {
            pause_ms(30);
            unknown("A", 1);
            reportAtText(Severity::Fatal, Code::CANNOTOPN, "x.zod", "t.zod", 2);
            unknown("never", 9);
        });
        AsideWork second([] { unknown("B", 3); });
        unknown("C", 4);
        std::_Exit(0);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(7),
                "^Zolmex-E-UNKCLPROC,  \\[t.zod:1\\] [^\n]*'A'\nZolmex-F-CANNOTOPN,  \\[t.zod:2\\] [^\n]*x.zod[^\n]*\n$");
}

// An end among the reports of a joined work: the works after it are waited
// for (what they write to goes with the run) and give nothing.
TEST_F(AsideWorkTest, AnEndWaitsForTheLaterWorks) {
    const auto run = [] {
        AsideWork first([] { reportAtText(Severity::Internal, Code::SIZBUFOVL, "", nullptr, 0); });
        AsideWork second([] {
            pause_ms(200);
            unknown("B", 2);
            std::fputs("second done\n", stderr);
        });
        first.join();
        std::_Exit(0);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(9), "^Zolmex-S-SIZBUFOVL,[^\n]*\nsecond done\n$");
}

// A work given up without joining (the run is left another way) reports
// nothing and counts nothing.
TEST_F(AsideWorkTest, AWorkNotJoinedGivesNothing) {
    const unsigned errors = errorCount();
    testing::internal::CaptureStderr();
    { AsideWork work([] { unknown("A", 1); }); }
    EXPECT_EQ(errorCount(), errors);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace zv
