// Process-wide catalog of message texts keyed by message code. Four groups fill
// it, each once and in a fixed order; every text is translated at registration
// through the translators installed at that moment.
#pragma once

#include "diagnostics/message_codes.h"

#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace zv {

// One row of a registration group as written in the source tables.
struct CatalogRow {
    const char* context;
    Code code;
    const char* source;
    const char* comment;  // translator comment (also the disambiguation)
};

class MessageCatalog {
public:
    static MessageCatalog& instance();

    // Registering an existing code replaces its text.
    void add(Code code, const QString& text);
    const QString* find(Code code) const;
    bool contains(Code code) const { return find(code) != nullptr; }
    qsizetype size() const { return size_; }
    void clear();

private:
    std::vector<std::optional<QString>> texts_ = std::vector<std::optional<QString>>(kCodeCount);
    qsizetype size_ = 0;
};

// The rows of each group, in registration order.
std::span<const CatalogRow> scriptCompilerRows();
std::span<const CatalogRow> analyserLibraryRows();
std::span<const CatalogRow> baseRows();
std::span<const CatalogRow> cDeclarationRows();

// Each group registers itself at most once per process.
void registerScriptCompilerGroup();
void registerAnalyserLibraryGroup();
void registerBaseGroup();
void registerCDeclarationGroup();

// The four groups in their required order.
void registerMessageCatalog();

}  // namespace zv
