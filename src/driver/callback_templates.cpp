#include "driver/callback_templates.h"

#include "diagnostics/guarded.h"
#include "diagnostics/report.h"

#include <sys/stat.h>

namespace zv {

TemplateAction decideTriggerTemplate(const std::string& templatePath,
                                     const std::vector<std::string>& interfaceFiles) {
    // A template that exists holds the tester's code: it is never replaced, even
    // when an interface file cannot be compared with it (one found only through
    // the include search with -NOPATH, say).
    struct stat info {};
    const bool exists = ::stat(templatePath.c_str(), &info) == 0;
    if (!exists) {
        reportText(Severity::Warning, Code::NEWFFCTRI);
        return TemplateAction::Write;
    }
    for (const std::string& interfaceFile : interfaceFiles) {
        const int result = newerThan(interfaceFile.c_str(), templatePath.c_str());
        if (result != 2) continue;
        reportText(Severity::Warning, Code::OLDFFCTRI);
        return TemplateAction::Stale;
    }
    return TemplateAction::Keep;
}

}  // namespace zv
