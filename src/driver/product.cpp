#include "driver/product.h"

#include <QCoreApplication>

namespace zv {

QString suiteName() { return QCoreApplication::translate("ZOLMIdent", "Kestrun"); }
QString programTitle() { return QCoreApplication::translate("ZOLMIdent", "Zerizevar"); }
QString versionString() { return QCoreApplication::translate("ZOLMIdent", ZV_VERSION_STRING); }
QString legalNotice() {
    return QCoreApplication::translate(
        "ZOLMIdent", "Copyright (c) 2026 the Zerizevar developers. Distributed with the Kestrun tool chain.");
}

}  // namespace zv
