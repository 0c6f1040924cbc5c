// The catalog against the end-to-end cases: every message code is raised by at
// least one case (tests/cases/*, its expected standard error or listing), unless it
// stands in the list below with the reason why no case raises it. A code that a
// case starts to raise must leave the list, so the list only ever shrinks.
#include "diagnostics/message_catalog.h"
#include "diagnostics/message_codes.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>

namespace zv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNoRule = "kept in the catalog for its text; no rule of the analysis raises it";
constexpr const char* kTemplateOlder = "needs a template older than an interface file; a unit test covers it";
constexpr const char* kSideOutputs = "needs an instance name with the all-instances mode, which the driver never passes; a unit test covers it";
constexpr const char* kReportTools = "a text of the report tools that share this catalog; the compiler never raises it";
constexpr const char* kNeverRaised = "registered for the other tools of the suite or for translators; never raised";
constexpr const char* kInternalCheck = "internal consistency check: no input reaches it; a unit test covers it";
constexpr const char* kOnlyOnStackOverflow =
    "a native expression opens only where the grammar takes one: only a parser stack overflow (over 100000 "
    "entries) reports it";
constexpr const char* kTooManyIncludes = "needs 501 distinct include files; a unit test covers it";
constexpr const char* kNoWorkingDirectory =
    "needs a working directory that is deleted or longer than 20000 characters, which a case cannot set up; a "
    "unit test covers it";
constexpr const char* kTolerantMode =
    "raised in the tolerant mode only, which no option selects; a unit test covers it";
constexpr const char* kExpansionBound =
    "needs over four million tokens made by macro expansions: over 20 s of a sanitizer build for one case; a unit "
    "test covers it with a lower bound";

struct Untested {
    Code code;
    const char* why;
};

// Codes deliberately without an end-to-end case, each with its reason.
const Untested kUntested[] = {
    {Code::NOMESSDEF, kNeverRaised}, {Code::UNEXPASSG, kNeverRaised}, {Code::ERRINTFCT, kNeverRaised},
    {Code::ERRPARENT, kNeverRaised}, {Code::COMMUSAGE, kNeverRaised}, {Code::EROPFICMD, kNeverRaised},
    {Code::MORERWALI, kNeverRaised},
    {Code::STXNODNIL, kInternalCheck}, {Code::STXNODNWT, kInternalCheck}, {Code::ENTCODUNK, kInternalCheck},
    {Code::DSCCODUNK, kInternalCheck}, {Code::SCPBADPTR, kInternalCheck}, {Code::INITPBRLM, kInternalCheck},
    {Code::UNEXPEXPR, kOnlyOnStackOverflow}, {Code::INCLOVFLW, kTooManyIncludes},
    {Code::SIZBUFOVL, kNoWorkingDirectory}, {Code::FILNOTANA, kTolerantMode},
    {Code::EXPTOOBIG, kExpansionBound},
    {Code::NOMOREPAR, kNoRule}, {Code::TOOFEWPAR, kNoRule}, {Code::NOTRIGUSD, kNoRule},
    {Code::VARNOTRIG, kNoRule}, {Code::CONSTINIT, kNoRule}, {Code::ERTAILTAB, kNoRule},
    {Code::PSNOMATCH, kNoRule}, {Code::CBALAMBIG, kNoRule}, {Code::PSENDAMBIG, kNoRule},
    {Code::CBWRNTYPE, kNoRule}, {Code::CBNPTTYPE, kNoRule}, {Code::PSNPTTYPE, kNoRule},
    {Code::NOTDCFILE, kReportTools}, {Code::NORIOFILE, kReportTools}, {Code::RIOBADVER, kReportTools},
    {Code::TDCBADVER, kReportTools}, {Code::TIMESTAMP, kReportTools}, {Code::ANAUKNTKN, kReportTools},
    {Code::ANANOWCOD, kReportTools}, {Code::ANANOWFLD, kReportTools}, {Code::ANANOWSEP, kReportTools},
    {Code::ANAUKNCOD, kReportTools}, {Code::FTSBADPTR, kReportTools}, {Code::ANABADCOD, kReportTools},
    {Code::FTSOUTIDX, kReportTools}, {Code::FICLNKERR, kReportTools}, {Code::BADSTARES, kReportTools},
    {Code::BADTKINDX, kReportTools}, {Code::INHERITED, kReportTools}, {Code::NOIDCONST, kReportTools},
    {Code::NOEMPTBUF, kReportTools}, {Code::NOPTRCOLN, kReportTools}, {Code::COLOUTBND, kReportTools},
    {Code::TRTOUTBND, kReportTools}, {Code::POSOUTBND, kReportTools}, {Code::BADCOLWID, kReportTools},
    {Code::BADBUFPTR, kReportTools}, {Code::UNKNWNLTR, kReportTools}, {Code::MISSLETER, kReportTools},
    {Code::UNEXENDPO, kReportTools}, {Code::MSGENDPOS, kReportTools}, {Code::MSGENDWRN, kReportTools},
    {Code::RANGENOTA, kReportTools}, {Code::BADPREPRO, kReportTools}, {Code::NORIOTDCF, kReportTools},
    {Code::UNKKORVAF, kReportTools}, {Code::TOOMANYFI, kReportTools}, {Code::NOTDCFRIO, kReportTools},
    {Code::NORIOFTDC, kReportTools}, {Code::MULTITDCS, kReportTools}, {Code::NEEDTDCFI, kReportTools},
    {Code::NEEDRIOFI, kReportTools}, {Code::POSTFAILD, kReportTools}, {Code::FILESDIFF, kReportTools},
    {Code::MERGEPOST, kReportTools}, {Code::UNEXPTIME, kReportTools},
    {Code::BADPARAMS, kSideOutputs}, {Code::OLDFFCTRI, kTemplateOlder},
};

// Codes that appear in a message line of any file of the end-to-end cases.
std::set<std::string> codesOfTheCases() {
    static const std::regex line(R"(Zolmex-[SFEWI]-([A-Z0-9]+),)");
    std::set<std::string> seen;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(ZV_SOURCE_DIR) / "tests" / "cases")) {
        if (!entry.is_regular_file()) continue;
        const std::string text = test::readFile(entry.path());
        for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it) seen.insert((*it)[1]);
    }
    return seen;
}

TEST(CatalogCoverage, EveryCodeHasATextOrAReasonForNone) {
    registerMessageCatalog();
    for (std::size_t i = 0; i < kCodeCount; ++i) {
        const Code code = static_cast<Code>(i);
        EXPECT_NE(MessageCatalog::instance().contains(code), untextedReason(code) != nullptr) << codeName(code);
    }
}

TEST(CatalogCoverage, EveryCodeIsRaisedByACaseOrListedWithItsReason) {
    const std::set<std::string> seen = codesOfTheCases();
    for (const std::string& name : seen) EXPECT_TRUE(codeFromName(name)) << name << " appears in a case but is no code";
    std::set<Code> listed;
    for (const Untested& u : kUntested) {
        EXPECT_TRUE(listed.insert(u.code).second) << codeName(u.code) << " is listed twice";
        EXPECT_FALSE(seen.count(codeName(u.code))) << codeName(u.code) << " is raised by a case: take it off the list";
    }
    for (std::size_t i = 0; i < kCodeCount; ++i) {
        const Code code = static_cast<Code>(i);
        EXPECT_TRUE(seen.count(codeName(code)) || listed.count(code))
            << codeName(code) << " is raised by no end-to-end case: add one, or list the code with its reason";
    }
}

}  // namespace
}  // namespace zv
