// Output files: nothing appears at the target before the run ends normally; a
// fatal end leaves the earlier file untouched and no temporary behind.
#include "codegen/emitter.h"
#include "diagnostics/message_catalog.h"
#include "diagnostics/output_file.h"
#include "diagnostics/report.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zv {
namespace {

namespace fs = std::filesystem;

// Each case with the text written by a thread of its own, and by the caller.
class OutputFiles : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        registerMessageCatalog();
        setOutputWriterThread(GetParam());
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir = fs::temp_directory_path() / ("zv_out_" + std::to_string(::getpid()) + "_" + name);
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        discardPendingOutputs();
        setOutputWriterThread(std::nullopt);
        fs::remove_all(dir);
    }
    static std::size_t filesIn(const fs::path& d) {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(d), fs::directory_iterator()));
    }
    fs::path dir;
};

TEST_P(OutputFiles, CommitRenamesEveryOutputTogether) {
    const auto a = (dir / "demo.c").string(), b = (dir / "demo.tdc").string();
    OutputFile& c = OutputFile::open(a);
    c.writeLine("int x;");
    c.printf("%s %d\n", "line", 2);
    OutputFile::open(b).write("tdc");
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(pendingOutputCount(), 2u);
    commitPendingOutputs();
    EXPECT_EQ(test::readFile(a), "int x;\nline 2\n");
    EXPECT_EQ(test::readFile(b), "tdc");
    EXPECT_EQ(filesIn(dir), 2u);
    EXPECT_EQ(pendingOutputCount(), 0u);
}

TEST_P(OutputFiles, DiscardKeepsTheEarlierFileAndLeavesNoTemporary) {
    const auto a = (dir / "demo.c").string();
    std::ofstream(a) << "old";
    OutputFile::open(a).write("half written");
    discardPendingOutputs();
    EXPECT_EQ(test::readFile(a), "old");
    EXPECT_EQ(filesIn(dir), 1u);
}

TEST_P(OutputFiles, SameTargetTwiceKeepsTheLastText) {
    const auto a = (dir / "x.h").string();
    OutputFile::open(a).write("first");
    OutputFile::open(a).write("second");
    commitPendingOutputs();
    EXPECT_EQ(test::readFile(a), "second");
    EXPECT_EQ(filesIn(dir), 1u);
}

TEST_P(OutputFiles, UncreatableTargetIsFatal) {
    const auto a = (dir / "missing" / "demo.c").string();
    EXPECT_EXIT(OutputFile::open(a), ::testing::ExitedWithCode(7),
                "Zolmex-F-FICERROPN,  File .*missing/demo.c opening problem\n");
}

// A directory standing where an output goes is refused when the output is
// opened; the outputs opened before it are not put in place either, and a
// target that became a directory meanwhile stops the commit before any rename.
TEST_P(OutputFiles, DirectoryTargetLeavesEveryEarlierOutputAsItWas) {
    const auto a = (dir / "t.tdc").string(), b = (dir / "t_dyn.tsf").string();
    std::ofstream(a) << "old";
    fs::create_directories(b);
    EXPECT_EXIT(
        {
            OutputFile::open(a).write("new");
            OutputFile::open(b);
        },
        ::testing::ExitedWithCode(7), "FICERROPN,  File .*t_dyn.tsf opening problem\n");
    EXPECT_EQ(test::readFile(a), "old");
    EXPECT_EQ(filesIn(dir), 2u);

    fs::remove_all(b);
    EXPECT_EXIT(
        {
            OutputFile::open(a).write("new");
            OutputFile::open(b).write("tsf");
            fs::create_directories(b);
            commitPendingOutputs();
        },
        ::testing::ExitedWithCode(7), "FICERROPN,  File .*t_dyn.tsf opening problem\n");
    EXPECT_EQ(test::readFile(a), "old");
}

TEST_P(OutputFiles, FatalEndRemovesPendingTemporaries) {
    const auto a = (dir / "demo.c").string();
    EXPECT_EXIT(
        {
            OutputFile::open(a).write("partial");
            reportFatalText(Code::COMMFATAL);
        },
        ::testing::ExitedWithCode(7), "Zolmex-F-COMMFATAL,  Invalid command line\n");
    EXPECT_EQ(filesIn(dir), 0u);
}

// Text goes to the files on a writer thread: pieces handed over for two files
// in turn, some far larger than the queue's bound, arrive whole and in order.
TEST_P(OutputFiles, PiecesForSeveralFilesArriveWholeAndInOrder) {
    const auto a = (dir / "big.c").string(), b = (dir / "big.tdc").string();
    OutputFile& c = OutputFile::open(a);
    OutputFile& t = OutputFile::open(b);
    std::string expectA, expectB;
    for (int i = 0; i < 300; ++i) {
        std::string piece(static_cast<std::size_t>(i % 7 == 0 ? (9 << 20) / 7 : 1000 + i), static_cast<char>('a' + i % 26));
        piece += std::to_string(i);
        expectA += piece;
        c.write(std::move(piece));
        const std::string line = "T" + std::to_string(i);
        expectB += line + "\n";
        t.writeLine(line);
    }
    c.printf("%s%d", "end", 1);
    expectA += "end1";
    c.close();
    c.write("after close");
    commitPendingOutputs();
    EXPECT_EQ(test::readFile(a), expectA);
    EXPECT_EQ(test::readFile(b), expectB);
}

// Generators fill pieces the writer is done with again: lines of every length,
// short ones after long ones, from two generators at once, still arrive whole.
TEST_P(OutputFiles, LinesFromGeneratorsArriveWholeWhenPiecesAreReused) {
    const auto a = (dir / "one.c").string(), b = (dir / "two.c").string();
    OutputFile& fa = OutputFile::open(a);
    OutputFile& fb = OutputFile::open(b);
    std::string expectA, expectB;
    {
        Emitter ea(fa), eb(fb);
        for (int i = 0; i < 60000; ++i) {
            const std::string line(static_cast<std::size_t>(i % 997 == 0 ? 150000 : i % 90), static_cast<char>('a' + i % 26));
            ea.emit_line(line + std::to_string(i));
            expectA += line + std::to_string(i) + "\n";
            if (i % 3 == 0) {
                eb.emit_line(std::to_string(i));
                expectB += std::to_string(i) + "\n";
            }
        }
    }
    fa.close();
    fb.close();
    commitPendingOutputs();
    EXPECT_EQ(test::readFile(a), expectA);
    EXPECT_EQ(test::readFile(b), expectB);
}

TEST_P(OutputFiles, FatalEndWithTextStillQueuedLeavesNoTemporary) {
    const auto a = (dir / "demo.c").string();
    EXPECT_EXIT(
        {
            OutputFile& c = OutputFile::open(a);
            for (int i = 0; i < 40; ++i) c.write(std::string(std::size_t{1} << 20, 'x'));
            reportFatalText(Code::COMMFATAL);
        },
        ::testing::ExitedWithCode(7), "COMMFATAL");
    EXPECT_EQ(filesIn(dir), 0u);
}

// A file the system stops writing (here at a size limit, part way through a
// span) ends the run with FICERROPN at the commit, and nothing is put in place.
TEST_P(OutputFiles, FailedWriteIsFatalAtTheCommit) {
    const auto a = (dir / "demo.c").string(), b = (dir / "demo.tdc").string();
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = 700000;
            ::setrlimit(RLIMIT_FSIZE, &limit);
            OutputFile::open(b).write("tdc");
            OutputFile& c = OutputFile::open(a);
            for (int i = 0; i < 30; ++i) c.write(std::string(100000, 'x'));
            commitPendingOutputs();
        },
        ::testing::ExitedWithCode(7), "FICERROPN,  File .*demo.c opening problem\n");
    EXPECT_EQ(filesIn(dir), 0u);
}

INSTANTIATE_TEST_SUITE_P(Writer, OutputFiles, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Thread" : "Caller"; });

}  // namespace
}  // namespace zv
