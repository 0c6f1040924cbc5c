// The fctri_c template is written when missing, kept when up to date, and kept
// with a warning when an interface file is newer.
#include "diagnostics/message_catalog.h"
#include "diagnostics/report.h"
#include "diagnostics/output_file.h"
#include "outputs/callback_templates.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace zv {
namespace {

namespace fs = std::filesystem;

class TriggerTemplate : public ::testing::Test {
protected:
    void SetUp() override {
        registerMessageCatalog();
        dir = fs::temp_directory_path() / ("zv_tpl_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        for (const char* name : {"a.h", "b.h"}) std::ofstream(dir / name) << "int x;";
        tpl = (dir / "fctri_c.c").string();
    }
    void TearDown() override { fs::remove_all(dir); }
    void age(const char* name, int seconds) {
        fs::last_write_time(dir / name, fs::file_time_type::clock::now() - std::chrono::seconds(seconds));
    }
    TemplateAction decide(std::vector<std::string> files, std::string& err) {
        for (auto& f : files) f = (dir / f).string();
        testing::internal::CaptureStderr();
        TemplateAction action = decideTriggerTemplate(tpl, files);
        err = testing::internal::GetCapturedStderr();
        return action;
    }
    fs::path dir;
    std::string tpl;
};

TEST_F(TriggerTemplate, MissingTemplateIsWrittenWithAWarning) {
    std::string err;
    EXPECT_EQ(decide({"a.h"}, err), TemplateAction::Write);
    EXPECT_EQ(err, "Zolmex-W-NEWFFCTRI,  Template of the file fctri_c automaticly generated\n");
}

TEST_F(TriggerTemplate, UpToDateTemplateIsKeptSilently) {
    std::ofstream(tpl) << "/* edited by the tester */";
    age("a.h", 100);
    age("b.h", 100);
    std::string err;
    EXPECT_EQ(decide({"a.h", "b.h"}, err), TemplateAction::Keep);
    EXPECT_EQ(err, "");
    EXPECT_EQ(decide({}, err), TemplateAction::Keep);
}

TEST_F(TriggerTemplate, NewerInterfaceFileLeavesTheTemplateWithAWarning) {
    std::ofstream(tpl) << "/* edited */";
    age("a.h", 100);
    age("fctri_c.c", 50);
    std::string err;
    EXPECT_EQ(decide({"a.h", "b.h"}, err), TemplateAction::Stale);
    EXPECT_EQ(err, "Zolmex-W-OLDFFCTRI,  The file fctri_c may not be up to date\n");
}

TEST_F(TriggerTemplate, ExistingTemplateIsNeverReplacedWhenAnInterfaceFileIsMissing) {
    std::ofstream(tpl) << "/* edited */";
    age("a.h", 100);
    age("b.h", 100);
    std::string err;
    EXPECT_EQ(decide({"a.h", "gone.h"}, err), TemplateAction::Keep);
    EXPECT_EQ(err, "");
    age("fctri_c.c", 200);
    EXPECT_EQ(decide({"gone.h", "b.h"}, err), TemplateAction::Stale);
}

TEST(CallbackTemplateTexts, WithoutMessageTypesOnlyTheIncludesAndTheMacros) {
    EXPECT_EQ(triggerTemplateText({}), "#include \"ccst.h\"\n#include \"korva_c.h\"\n\n");
    EXPECT_EQ(triggerTemplateText({}), includesOnlyText());
    EXPECT_EQ(korvaHeaderText({"a.h", "dir/b.h"}, {}),
              "#include \"a.h\"\n#include \"dir/b.h\"\ntypedef int T_ENTIER;\n#define CONST\n#define PP(ARGS) ()\n"
              "#define DP(ARGS) ARGS\n#define SP ;\n#define EP ;\n#define BP\n#define VOID\n");
}

TEST_F(TriggerTemplate, SecondRunKeepsTheTemplateAndRewritesTheOthers) {
    const std::string c = (dir / "drv.c").string();
    std::string err;
    testing::internal::CaptureStderr();
    writeCallbackTemplates(c, {(dir / "a.h").string()}, nullptr);
    commitPendingOutputs();
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Zolmex-W-NEWFFCTRI,  Template of the file fctri_c automaticly generated\n");
    std::ofstream(tpl) << "/* the tester's code */";
    age("a.h", 100);
    testing::internal::CaptureStderr();
    writeCallbackTemplates(c, {(dir / "a.h").string()}, nullptr);
    commitPendingOutputs();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::ifstream in(tpl);
    std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, "/* the tester's code */");
    EXPECT_TRUE(fs::exists(dir / "fctfc_c.c"));
    EXPECT_TRUE(fs::exists(dir / "korva_c.h"));
}

}  // namespace
}  // namespace zv
