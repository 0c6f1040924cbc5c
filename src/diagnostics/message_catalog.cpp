#include "diagnostics/message_catalog.h"

#include <QCoreApplication>

namespace zv {

namespace {

#define ZV_SCRIPT_MESSAGE(ctx, code, text) {ctx, Code::code, text, "Error code is \"" #code "\""},
const CatalogRow kScriptRows[] = {
#include "diagnostics/catalog_script.def"
};
#undef ZV_SCRIPT_MESSAGE

#define ZV_LIBRARY_MESSAGE(ctx, code, text) {ctx, Code::code, text, ""},
#define ZV_LIBRARY_REPEAT ZV_LIBRARY_MESSAGE
const CatalogRow kLibraryRows[] = {
#include "diagnostics/catalog_library.def"
};
#undef ZV_LIBRARY_MESSAGE
#undef ZV_LIBRARY_REPEAT

#define ZV_BASE_MESSAGE(code, text, comment) {"Error-modbas", Code::code, text, comment},
#define ZV_BASE_REPEAT ZV_BASE_MESSAGE
const CatalogRow kBaseRows[] = {
#include "diagnostics/catalog_base.def"
};
#undef ZV_BASE_MESSAGE
#undef ZV_BASE_REPEAT

#define ZV_CDECL_MESSAGE(ctx, code, text) {ctx, Code::code, text, ""},
const CatalogRow kCDeclRows[] = {
#include "diagnostics/catalog_cdecl.def"
};
#undef ZV_CDECL_MESSAGE

void registerRows(std::span<const CatalogRow> rows) {
    auto& catalog = MessageCatalog::instance();
    for (const CatalogRow& row : rows) {
        const char* comment = row.comment[0] ? row.comment : nullptr;
        catalog.add(row.code,
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

void MessageCatalog::add(Code code, const QString& text) {
    std::optional<QString>& slot = texts_[static_cast<std::size_t>(code)];
    if (!slot) ++size_;
    slot = text;
}

const QString* MessageCatalog::find(Code code) const {
    const std::optional<QString>& slot = texts_[static_cast<std::size_t>(code)];
    return slot ? &*slot : nullptr;
}

void MessageCatalog::clear() {
    for (std::optional<QString>& slot : texts_) slot.reset();
    size_ = 0;
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
    MessageCatalog::instance().add(Code::COPYRIGHT, QStringLiteral("%1%2"));
}

void registerMessageCatalog() {
    registerScriptCompilerGroup();
    registerAnalyserLibraryGroup();
    registerBaseGroup();
    registerCDeclarationGroup();
}

}  // namespace zv
