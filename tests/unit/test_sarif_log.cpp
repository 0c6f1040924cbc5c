// SARIF log of the diagnostics: JSON strings of any bytes, and the level and
// location of a result.
#include "diagnostics/sarif_log.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zv {
namespace {

TEST(SarifLog, JsonStringsAreUtf8WhateverTheBytes) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"say \"hi\" C:\\dir", R"("say \"hi\" C:\\dir")"},
        {std::string_view("\n\r\t\b\f\x01\x1f\x7f\0", 9), R"("\n\r\t\b\f\u0001\u001f\u007f\u0000")"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\""},
        // Bytes that are no well-formed UTF-8 stand for their Latin-1 characters:
        // alone, cut, overlong, surrogate, above U+10FFFF.
        {"caf\xe9", "\"caf\xc3\xa9\""},
        {"\xe2\x82x", "\"\xc3\xa2\xc2\x82x\""},
        {"\xc0\xaf", "\"\xc3\x80\xc2\xaf\""},
        {"\xed\xa0\x80", "\"\xc3\xad\xc2\xa0\xc2\x80\""},
        {"\xf4\x90\x80\x80", "\"\xc3\xb4\xc2\x90\xc2\x80\xc2\x80\""},
    };
    for (const auto& [bytes, json] : cases) {
        std::string out;
        appendJsonString(out, bytes);
        EXPECT_EQ(out, json);
    }
}

TEST(SarifLog, ALocationWhereTheMessageNamesAFile) {
    const std::string text = sarifHead({"Zerizevar", "1.0.0", "Kestrun Zerizevar 1.0.0"}, "/my dir") +
                             sarifResult({"UNKCLPROC", 'E', "[a:b.zod:12] Unknown procedure 'P'", "a:b.zod", 12}) + "," +
                             sarifResult({"NOARGUMEN", 'W', "[/x y.h:3] #ifdef with no argument", "/x y.h", 3}) + "," +
                             sarifResult({"NOPROCCAL", 'I', "[7] Procedure P is never used", "", 7}) + sarifTail(5);
    const QJsonObject run = QJsonDocument::fromJson(QByteArray::fromStdString(text))["runs"][0].toObject();
    EXPECT_EQ(run["originalUriBaseIds"]["CWD"]["uri"].toString(), "file:///my%20dir/");
    EXPECT_TRUE(run["invocations"][0]["executionSuccessful"].toBool());
    const QJsonArray results = run["results"].toArray();
    ASSERT_EQ(results.size(), 3) << text;
    const QJsonObject relative = results[0]["locations"][0]["physicalLocation"].toObject();
    EXPECT_EQ(relative["artifactLocation"]["uri"].toString(), "a%3Ab.zod");
    EXPECT_EQ(relative["artifactLocation"]["uriBaseId"].toString(), "CWD");
    EXPECT_EQ(relative["region"]["startLine"].toInt(), 12);
    const QJsonObject absolute = results[1]["locations"][0]["physicalLocation"]["artifactLocation"].toObject();
    EXPECT_EQ(absolute["uri"].toString(), "file:///x%20y.h");
    EXPECT_FALSE(absolute.contains("uriBaseId"));
    EXPECT_FALSE(results[2].toObject().contains("locations"));  // a line without a file
    EXPECT_EQ(results[0]["level"].toString() + results[1]["level"].toString() + results[2]["level"].toString(),
              "errorwarningnote");
}

}  // namespace
}  // namespace zv
