// Message lines: marker filling, position texts, the catalog's contents.
#include "diagnostics/message_catalog.h"
#include "diagnostics/messages.h"

#include <gtest/gtest.h>

#include <set>

namespace zv {
namespace {

class Messages : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerMessageCatalog(); }
    static std::string line(Code code, char letter, const QString& a = {}, const QString& b = {}) {
        return formatMessage(code, letter, a, b).toStdString();
    }
};

TEST_F(Messages, FillsLowestMarkerEverywhereAndDropsExtraArguments) {
    EXPECT_EQ(fillMarkers("%2 and %2 then %3", "x").toStdString(), "x and x then %3");
    EXPECT_EQ(fillMarkers("no marker", "x").toStdString(), "no marker");
    EXPECT_EQ(fillMarkers("%1-%2", "a", "b").toStdString(), "a-b");
    EXPECT_EQ(fillMarkers("%2 only", "a", "b").toStdString(), "a only");
    // Replacement texts are not scanned again.
    EXPECT_EQ(fillMarkers("%1|%2", "%2", "b").toStdString(), "%2|b");
    EXPECT_EQ(fillMarkers("%10 %9", "a", "b").toStdString(), "b a");
}

TEST_F(Messages, PositionTexts) {
    EXPECT_EQ(positionText("demo.zod", 12).toStdString(), "[demo.zod:12] ");
    EXPECT_EQ(positionText(nullptr, 12).toStdString(), "[12] ");
    EXPECT_EQ(positionText("", 0).toStdString(), " ");
}

TEST_F(Messages, WorkedExamples) {
    EXPECT_EQ(line(Code::UNKCLPROC, 'E', positionText("demo.zod", 12), "Init"),
              "Zolmex-E-UNKCLPROC,  [demo.zod:12] Unknown procedure 'Init'\n");
    EXPECT_EQ(line(Code::UNEXPRPAR, 'E', positionText("demo.zod", 7)),
              "Zolmex-E-UNEXPRPAR,  [demo.zod:7] Unexpected right parenthesis\n");
    EXPECT_EQ(line(Code::UNEXPTEOF, 'E', positionText(nullptr, 0)), "Zolmex-E-UNEXPTEOF,   Unexpected end of file\n");
    // A text without %1 drops the position.
    EXPECT_EQ(line(Code::NOSCENGEN, 'E', positionText("a.zod", 3)),
              "Zolmex-E-NOSCENGEN,  No scenario generated (see options -SCN, -EXSCN, -FAMILY, -EXFAMILY)\n");
}

TEST_F(Messages, LeftOverMarkersAreRemovedFromTheWholeLine) {
    EXPECT_EQ(line(Code::UNKCLPROC, 'E', "[f:1] ", "a%2b%3c%1"), "Zolmex-E-UNKCLPROC,  [f:1] Unknown procedure 'abc'\n");
    EXPECT_EQ(line(Code::ENDNOENWR, 'I'), "Zolmex-I-ENDNOENWR,  End of execution with 0 error and 0 warning\n");
    EXPECT_EQ(line(Code::ENDNOEWAR, 'I', {}, "2"), "Zolmex-I-ENDNOEWAR,  End of execution with 2 warning(s)\n");
    EXPECT_EQ(line(Code::COPYRIGHT, 'I', "notice"), "Zolmex-I-COPYRIGHT,  notice\n");
}

TEST_F(Messages, CodeWithoutTextPrintsThePrefixAlone) {
    EXPECT_EQ(line(Code::NOTSTATIC, 'E', "[a:1] ", "x"), "Zolmex-E-NOTSTATIC,  \n");
    EXPECT_EQ(line(Code::WARNERR, 'W', "[a:1] ", "#error x"), "Zolmex-W-WARNERR,  \n");
}

TEST_F(Messages, ScriptCompilerGroupHoldsItsCodesOnce) {
    std::set<std::string> codes;
    for (const CatalogRow& row : scriptCompilerRows()) {
        const std::string name = codeName(row.code);
        EXPECT_TRUE(codes.insert(name).second) << name;
        EXPECT_EQ(std::string(row.comment), "Error code is \"" + name + "\"");
    }
    EXPECT_EQ(codes.size(), 249u);
    for (const char* code : {"UNEXPTEOF", "ISTNALRDEC", "PSENDAMBIG", "UNEXPTIME", "SIZBUFOVL", "FICLNKERR"}) {
        EXPECT_TRUE(codes.count(code)) << code;
    }
}

TEST_F(Messages, TextsInEffectAfterAllGroups) {
    auto text = [](Code code) { return MessageCatalog::instance().find(code)->toStdString(); };
    EXPECT_EQ(text(Code::FICLNKERR), "Inconsistency  on line index (RIO File, line : %1) (TDC File, line : %2)");
    EXPECT_EQ(text(Code::VARNOTRIG), "%1 Event variable (%2) forbidden with VAR ");
    EXPECT_EQ(text(Code::UKNEVTSTC), "%1The event structure associated to \"%2\" is unknown");
    EXPECT_EQ(text(Code::ENDERRWAR), "End of execution with %1 error(s) and %2 warning(s)");
    EXPECT_EQ(text(Code::COPYRIGHT), "%1%2");
    EXPECT_EQ(text(Code::ERTAILTAB), "%1Unkown %2 array size");
    EXPECT_EQ(text(Code::IDENREDEF), "%1Warning: %2 redefined");
    EXPECT_EQ(text(Code::PRAGMAINC), "%1UnknownUnit Testing pragma: %2 ");
    EXPECT_FALSE(MessageCatalog::instance().contains(Code::UNEXPTOUT));
    EXPECT_FALSE(MessageCatalog::instance().contains(Code::NOTSTATIC));
}

}  // namespace
}  // namespace zv
