// Identity of the product shown at the start of every run (STARTEXEC and
// COPYRIGHT). The texts are translatable in the context "ZOLMIdent".
#pragma once

#include <QString>

namespace zv {

QString suiteName();     // "Kestrun"
QString programTitle();  // "Zerizevar"
QString versionString(); // e.g. "1.0.0"
QString legalNotice();

}  // namespace zv
