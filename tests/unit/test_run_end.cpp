// End of a run: summary lines, exit statuses, counters, listing file, and the
// notices of the guarded operations.
#include "diagnostics/guarded.h"
#include "diagnostics/message_catalog.h"
#include "diagnostics/messages.h"
#include "diagnostics/paths.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace zv {
namespace {

namespace fs = std::filesystem;


class RunEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // Counters are process-wide: each death test starts from a fresh process.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        registerMessageCatalog();
        // Death-test children are fresh processes: the path must not depend on the pid.
        listing = fs::path(ZV_BINARY_DIR) /
                  (std::string("run_end_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".lis");
        fs::remove(listing);
    }
    void TearDown() override { fs::remove(listing); }
    fs::path listing;
};

TEST_F(RunEnd, StatusesFollowTheCounters) {
    EXPECT_EXIT(finishRun(false), ::testing::ExitedWithCode(0),
                "^Zolmex-I-ENDNOENWR,  End of execution with 0 error and 0 warning\n$");
    EXPECT_EXIT({ reportWarning(Code::NOEXEINST, " "); reportWarning(Code::NOEXEINST, " "); finishRun(false); },
                ::testing::ExitedWithCode(3), "Zolmex-I-ENDNOEWAR,  End of execution with 2 warning\\(s\\)\n$");
    EXPECT_EXIT({ reportError(Code::FORBEMPTY, " "); finishRun(false); }, ::testing::ExitedWithCode(5),
                "Zolmex-I-ENDERRNWR,  End of execution with 1 error\\(s\\)\n$");
    EXPECT_EXIT({ reportError(Code::FORBEMPTY, " "); reportWarning(Code::NOEXEINST, " "); finishRun(false); },
                ::testing::ExitedWithCode(5),
                "Zolmex-I-ENDERRWAR,  End of execution with 1 error\\(s\\) and 1 warning\\(s\\)\n$");
}

TEST_F(RunEnd, FatalAndInternalEndWithoutSummary) {
    EXPECT_EXIT(reportFatal(Code::COMMFATAL), ::testing::ExitedWithCode(7), "^Zolmex-F-COMMFATAL,  Invalid command line\n$");
    EXPECT_EXIT(reportAtText(Severity::Internal, Code::SCPBADPTR, "", "a.zod", 3), ::testing::ExitedWithCode(9),
                "^Zolmex-S-SCPBADPTR,  \\[a.zod:3\\] Null scope pointer.\n$");
    EXPECT_EXIT(reportInternalText(Code::STXNOMESS, nullptr, "312"), ::testing::ExitedWithCode(9),
                "^Zolmex-S-STXNOMESS,   No syntax error messages detected '312'\n$");
}

TEST_F(RunEnd, CountersOnlyCountErrorsAndWarnings) {
    const unsigned e = errorCount(), w = warningCount();
    testing::internal::CaptureStderr();
    reportAtText(Severity::Error, Code::UNKCLPROC, "Init", "demo.zod", 12);
    reportAtText(Severity::Warning, Code::NOEXEINST, nullptr, nullptr, 0);
    reportAtText(Severity::Information, Code::NOPROCCAL, "P", "demo.zod", 4);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Zolmex-E-UNKCLPROC,  [demo.zod:12] Unknown procedure 'Init'\n"
              "Zolmex-W-NOEXEINST,   Instructions written after ERROR or EXIT are not executed\n"
              "Zolmex-I-NOPROCCAL,  [demo.zod:4] Procedure P is never used\n");
    EXPECT_EQ(errorCount(), e + 1);
    EXPECT_EQ(warningCount(), w + 1);
}

TEST_F(RunEnd, ListingHoldsEveryLineAndSurvivesACleanRun) {
    const std::string path = listing.string();
    EXPECT_EXIT({ openListingFile(path.c_str(), false); reportInformation(Code::ISTNOPLAN, "X"); finishRun(false); },
                ::testing::ExitedWithCode(0), "^$");
    EXPECT_EQ(test::readFile(listing), "Zolmex-I-ISTNOPLAN,  Instance X undeclared in test plan\n"
                                 "Zolmex-I-ENDNOENWR,  End of execution with 0 error and 0 warning\n");
    // With the flag set a clean listing is removed, one with warnings is kept.
    EXPECT_EXIT({ openListingFile(path.c_str(), true); finishRun(true); }, ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(fs::exists(listing));
    EXPECT_EXIT({ openListingFile(path.c_str(), true); reportWarning(Code::OLDFFCTRI); finishRun(true); },
                ::testing::ExitedWithCode(3), "");
    EXPECT_TRUE(fs::exists(listing));
}

TEST_F(RunEnd, UncreatableListingIsFatal) {
    EXPECT_EXIT(openListingFile("/nonexistent-dir/x.lis", true), ::testing::ExitedWithCode(7),
                "^Zolmex-F-FICERROPN,  File /nonexistent-dir/x.lis opening problem\n$");
}

TEST(GuardedOperations, FailureWritesTheNoticeAndEndsWithSeven) {
    std::FILE* readOnly = std::fopen("/dev/null", "r");
    ASSERT_NE(readOnly, nullptr);
    EXPECT_EXIT(guardedFprintf(readOnly, "x"), ::testing::ExitedWithCode(7),
                "^FATAL ERROR on 'fprintf',\n Please contact your administrative.$");
    std::fclose(readOnly);
    EXPECT_EQ(guardedStrdup(nullptr), nullptr);
    char* copy = guardedStrdup("abc");
    EXPECT_STREQ(copy, "abc");
    std::free(copy);
}

// Memory exhausted in a `new` (a container growing, a node made) ends the run
// with the "malloc" notice instead of an uncaught exception.
TEST(GuardedOperations, ExhaustedMemoryEndsWithTheMallocNotice) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator stops the run itself";
#else
    EXPECT_EXIT(
        {
            installAllocationGuard();
            volatile std::size_t huge = std::size_t{1} << 62;
            std::vector<char> block(huge);
            std::fprintf(stderr, "allocated %zu\n", block.size());
        },
        ::testing::ExitedWithCode(7), "^FATAL ERROR on 'malloc',\n Please contact your administrative.$");
#endif
}

TEST(GuardedOperations, NewerThanComparesModificationTimes) {
    const fs::path dir = fs::temp_directory_path() / ("zv_newer_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path a = dir / "a", b = dir / "b";
    std::ofstream(a) << "a";
    std::ofstream(b) << "b";
    fs::last_write_time(a, fs::last_write_time(b) - std::chrono::seconds(10));
    EXPECT_EQ(newerThan(a.c_str(), b.c_str()), 1);
    EXPECT_EQ(newerThan(b.c_str(), a.c_str()), 2);
    EXPECT_EQ(newerThan(a.c_str(), a.c_str()), 1);
    EXPECT_EQ(newerThan((dir / "none").c_str(), a.c_str()), 0);
    EXPECT_EQ(newerThan(a.c_str(), (dir / "none").c_str()), 0);
    fs::remove_all(dir);
}

TEST(PathHelpers, ComponentsOfPaths) {
    EXPECT_EQ(fileNameOf("out/demo.c"), "demo.c");
    EXPECT_EQ(fileNameOf("demo"), "demo");
    EXPECT_EQ(fileNameOf(""), "");
    EXPECT_EQ(directoryOf("out/sub/demo.c"), "out/sub");
    EXPECT_EQ(directoryOf("demo.c"), ".");
    EXPECT_EQ(directoryOf("/demo.c"), "/");
    EXPECT_EQ(directoryOf(""), "");
    EXPECT_EQ(joinPath("out", "fctri_c.c"), "out/fctri_c.c");
}

}  // namespace
}  // namespace zv
