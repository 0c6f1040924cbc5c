#include "diagnostics/paths.h"

#include <QFileInfo>

namespace zv {

namespace {
QString toQt(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

std::string fileNameOf(std::string_view path) {
    if (path.empty()) return {};
    return QFileInfo(toQt(path)).fileName().toLocal8Bit().toStdString();
}

std::string directoryOf(std::string_view path) {
    if (path.empty()) return {};
    return QFileInfo(toQt(path)).path().toLocal8Bit().toStdString();
}

std::string joinPath(std::string_view directory, std::string_view name) {
    std::string joined;
    joined.reserve(directory.size() + 1 + name.size());
    joined.append(directory).append("/").append(name);
    return joined;
}

}  // namespace zv
