// "catalog": prints the message catalog in effect, one "CODE<TAB>text" per line.
#include "show.h"

#include "diagnostics/message_catalog.h"

#include <cstdio>

namespace zv::inspect {
namespace {

int printCatalog(const std::vector<std::string>&) {
    for (auto rows : {scriptCompilerRows(), analyserLibraryRows(), baseRows(), cDeclarationRows()}) {
        for (const CatalogRow& row : rows) {
            const QString* text = MessageCatalog::instance().find(row.code);
            std::printf("%s\t%s\n", codeName(row.code), text ? text->toLocal8Bit().constData() : "");
        }
    }
    return 0;
}

const InspectCommand kCatalog("catalog", "print the message catalog in effect", printCatalog);

}  // namespace
}  // namespace zv::inspect
