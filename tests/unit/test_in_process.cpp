// Whole runs inside the test process: each end, normal or fatal, comes back
// as the run's exit status, and each run starts from a clean state.
#include "driver/driver.h"
#include "native_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zv {
namespace {

using native::testing_support::CapturedMessages;
using native::testing_support::ScratchDir;

TEST(InProcessRun, EveryEndReturnsItsStatusAndRunsStartAfresh) {
    ScratchDir dir;
    const std::string header = dir.write("t.h", "int x;\n");
    const std::string script = dir.write("s.zod", "HEADER \"t\", \"1\", \"x\"\n#int y;\nSCENARIO A\nRESET nothere\nEND SCENARIO\n");
    const std::string root = dir.path() + "/o";
    CapturedMessages capture;
    EXPECT_EQ(runInProcess({"zerizevar"}), 7);
    EXPECT_EQ(runInProcess({"zerizevar", script, header, root}), 5);
    EXPECT_EQ(runInProcess({"zerizevar", script, header, root, "-NOSUCHOPTION"}), 7);
    EXPECT_EQ(runInProcess({"zerizevar", script, header, root}), 5);
    const std::string text = capture.text();
    const std::string summary = "Zolmex-I-ENDERRNWR,  End of execution with 1 error(s)\n";
    const std::size_t first = text.find(summary);
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_NE(text.find(summary, first + 1), std::string::npos) << text;
    EXPECT_FALSE(std::filesystem::exists(root + ".c"));
}

}  // namespace
}  // namespace zv
