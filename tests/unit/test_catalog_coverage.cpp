// Every message code that the compiler's sources raise has a catalog text, unless
// it deliberately has none; and the end-to-end cases' coverage of codes is listed.
#include "diagnostics/message_catalog.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>

namespace zv {
namespace {

namespace fs = std::filesystem;


// Codes passed as a string literal to a report function (first or second argument).
std::set<std::string> raisedCodes() {
    static const std::regex call(R"(report\w*\(\s*(?:[^,();]*,\s*)?"([A-Z][A-Z0-9]{6,9})\")");
    std::set<std::string> codes;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(ZV_SOURCE_DIR) / "src")) {
        const auto ext = entry.path().extension();
        if (ext != ".cpp" && ext != ".h" && ext != ".y" && ext != ".l") continue;
        const std::string text = test::readFile(entry.path());
        for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it) {
            codes.insert((*it)[1]);
        }
    }
    return codes;
}

// Codes that are raised on purpose without a catalog text: their line is the prefix alone.
const std::set<std::string> kWithoutText = {"NOTSTATIC", "WARNERR",   "UNEXPTOUT", "UNEXPLOOP",
                                            "UNEXPCATC", "UNEXPALLC", "UNEXPIDWH"};

TEST(CatalogCoverage, EveryRaisedCodeHasAText) {
    registerMessageCatalog();
    const auto codes = raisedCodes();
    EXPECT_GT(codes.size(), 5u);
    for (const std::string& code : codes) {
        if (kWithoutText.count(code)) continue;
        EXPECT_TRUE(MessageCatalog::instance().contains(code.c_str())) << code << " is raised but has no text";
    }
}

TEST(CatalogCoverage, CodesExercisedByTheEndToEndCases) {
    static const std::regex line(R"(Zolmex-[SFEWI]-([A-Z0-9]+),)");
    std::set<std::string> seen;
    const fs::path cases = fs::path(ZV_SOURCE_DIR) / "tests" / "cases";
    for (const auto& entry : fs::recursive_directory_iterator(cases)) {
        if (!entry.is_regular_file()) continue;
        const std::string text = test::readFile(entry.path());
        for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it) seen.insert((*it)[1]);
    }
    std::string covered, missing;
    for (const std::string& code : raisedCodes()) (seen.count(code) ? covered : missing) += " " + code;
    std::cout << "codes exercised by end-to-end cases:" << covered << "\n"
              << "raised codes not yet exercised:" << missing << "\n";
    EXPECT_FALSE(seen.empty());
}

}  // namespace
}  // namespace zv
