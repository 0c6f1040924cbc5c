// The French translation files as built into lib/locale: every message they are
// meant to cover is found under its context and comment, and keeps its markers.
#include "diagnostics/message_catalog.h"
#include "driver/command_analyser.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTranslator>

#include <gtest/gtest.h>

#include <set>

namespace zv {
namespace {

const QString kLocaleDir = QStringLiteral(ZV_BINARY_DIR "/lib/locale");

std::set<QString> markers(const QString& text) {
    std::set<QString> found;
    auto it = QRegularExpression(QStringLiteral("%[0-9]")).globalMatch(text);
    while (it.hasNext()) found.insert(it.next().captured());
    return found;
}

// Checks that every row of `rows` in one of `contexts` is translated.
void expectTranslated(const char* file, std::span<const CatalogRow> rows, const std::set<std::string>& contexts,
                      int expected) {
    QTranslator translator;
    ASSERT_TRUE(translator.load(QString::fromLatin1(file), kLocaleDir)) << file;
    int count = 0;
    for (const CatalogRow& row : rows) {
        if (!contexts.count(row.context) || row.code == Code::COPYRIGHT) continue;
        ++count;
        const QString text = translator.translate(row.context, row.source, row.comment[0] ? row.comment : nullptr);
        EXPECT_FALSE(text.isEmpty()) << file << ": " << codeName(row.code);
        EXPECT_EQ(markers(text), markers(QString::fromUtf8(row.source))) << codeName(row.code) << ": " << text.toStdString();
    }
    EXPECT_EQ(count, expected) << file;
}

TEST(Translations, ScriptCompilerContexts) {
    expectTranslated("zerizevar_fr", scriptCompilerRows(),
                     {"Information", "File error", "Fatal error", "Command line error"}, 20);
}

TEST(Translations, ReportStructureTexts) {
    QTranslator translator;
    ASSERT_TRUE(translator.load(QStringLiteral("zerizevar_fr"), kLocaleDir));
    EXPECT_EQ(translator.translate("TsfGen context", "System under test"), QString::fromUtf8("Système sous test"));
    EXPECT_EQ(translator.translate("TsfGen context", "default tester"), QString::fromUtf8("testeur par défaut"));
    EXPECT_EQ(translator.translate("TsfGen context", "END %1"), QStringLiteral("FIN %1"));
}

TEST(Translations, BaseGroupHoldsTheSummaryTexts) {
    expectTranslated("modbas_fr", baseRows(), {"Error-modbas"}, 8);
    QTranslator translator;
    ASSERT_TRUE(translator.load(QStringLiteral("modbas_fr"), kLocaleDir));
    // The comment of ENDNOENWR is part of its key.
    EXPECT_EQ(translator.translate("Error-modbas", "End of execution with 0 error and 0 warning%1%2",
                                   "%1 and %2 are empty string, but must take place in the translation"),
              QString::fromUtf8("Fin d'exécution avec 0 erreur et 0 avertissement%1%2"));
}

TEST(Translations, AnalyserMessagesAndUsage) {
    CommandAnalyser analyser({}, {}, {}, QT_TRANSLATE_NOOP("Command-line", "x"));
    std::vector<std::string> english;
    for (int i = 0; i <= 20; ++i) english.push_back(analyser.messageText(i, std::nullopt));

    int argc = 1;
    char name[] = "unit_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTranslator translator;
    ASSERT_TRUE(translator.load(QStringLiteral("cab_fr"), kLocaleDir));
    QCoreApplication::installTranslator(&translator);
    EXPECT_EQ(QCoreApplication::translate("CAB", "Zolmex"), QStringLiteral("Zolmex"));
    for (int i = 0; i <= 20; ++i) {
        const std::string french = analyser.messageText(i, std::nullopt);
        EXPECT_NE(french, english[i]) << i;
        EXPECT_EQ(french.rfind("Zolmex Analyse de la commande : ", 0), 0u) << french;
    }
    QCoreApplication::removeTranslator(&translator);
}

}  // namespace
}  // namespace zv
