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

// A parse that ends the run while the analysis beside it walks an item: the
// run ends with its status, the walk is stopped before the tree goes, and
// nothing the analysis found is shown.
TEST(InProcessRun, AFatalEndOfTheParseStopsTheAnalysisBesideIt) {
    ScratchDir dir;
    const std::string header = dir.write("t.h", "int x;\n");
    std::string text = "HEADER \"t\", \"1\", \"x\"\n#int y;\nSCENARIO big\nCALL nothere()\n";
    for (int i = 0; i < 20000; ++i) text += "COMMENT c" + std::to_string(i) + "\n";
    text += "END SCENARIO\nINCLUDE \"missing.zod\"\nSCENARIO B\nEXIT\nEND SCENARIO\n";
    const std::string script = dir.write("s.zod", text);
    CapturedMessages capture;
    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(runInProcess({"zerizevar", script, header, dir.path() + "/o"}), 7);
    EXPECT_EQ(capture.text().find("nothere"), std::string::npos);
}

}  // namespace
}  // namespace zv
