#include "diagnostics/message_catalog.h"

#include <QCoreApplication>

namespace zv {

namespace {

#define ZV_SCRIPT_MESSAGE(ctx, code, text) {ctx, #code, text, "Error code is \"" #code "\""},
const CatalogRow kScriptRows[] = {
#include "diagnostics/catalog_script.def"
};
#undef ZV_SCRIPT_MESSAGE

#define ZV_LIBRARY_MESSAGE(ctx, code, text) {ctx, #code, text, ""},
const CatalogRow kLibraryRows[] = {
#include "diagnostics/catalog_library.def"
};
#undef ZV_LIBRARY_MESSAGE

#define ZV_BASE_MESSAGE(code, text, comment) {"Error-modbas", #code, text, comment},
const CatalogRow kBaseRows[] = {
#include "diagnostics/catalog_base.def"
};
#undef ZV_BASE_MESSAGE

#define ZV_CDECL_MESSAGE(ctx, code, text) {ctx, #code, text, ""},
const CatalogRow kCDeclRows[] = {
#include "diagnostics/catalog_cdecl.def"
};
#undef ZV_CDECL_MESSAGE

void registerRows(std::span<const CatalogRow> rows) {
    auto& catalog = MessageCatalog::instance();
    for (const CatalogRow& row : rows) {
        const char* comment = row.comment[0] ? row.comment : nullptr;
        catalog.add(QString::fromLatin1(row.code),
                    QCoreApplication::translate(row.context, row.source, comment));
    }
}

// Registers a group unless it is already registered.
void registerOnce(bool& done, std::span<const CatalogRow> rows) {
    if (done) return;
    done = true;
    registerRows(rows);
}

bool gScriptDone = false;
bool gLibraryDone = false;
bool gBaseDone = false;
bool gCDeclDone = false;

}  // namespace

MessageCatalog& MessageCatalog::instance() {
    static MessageCatalog catalog;
    return catalog;
}

const QString* MessageCatalog::find(const char* code) const {
    auto it = texts_.constFind(QString::fromLatin1(code));
    return it == texts_.constEnd() ? nullptr : &it.value();
}

std::span<const CatalogRow> scriptCompilerRows() { return kScriptRows; }
std::span<const CatalogRow> analyserLibraryRows() { return kLibraryRows; }
std::span<const CatalogRow> baseRows() { return kBaseRows; }
std::span<const CatalogRow> cDeclarationRows() { return kCDeclRows; }

void registerScriptCompilerGroup() { registerOnce(gScriptDone, kScriptRows); }
void registerAnalyserLibraryGroup() { registerOnce(gLibraryDone, kLibraryRows); }
void registerCDeclarationGroup() { registerOnce(gCDeclDone, kCDeclRows); }

void registerBaseGroup() {
    if (gBaseDone) return;
    gBaseDone = true;
    registerRows(kBaseRows);
    // The legal notice is handed in whole as an argument: never translated.
    MessageCatalog::instance().add(QStringLiteral("COPYRIGHT"), QStringLiteral("%1%2"));
}

void registerMessageCatalog() {
    registerScriptCompilerGroup();
    registerAnalyserLibraryGroup();
    registerBaseGroup();
    registerCDeclarationGroup();
}

}  // namespace zv
