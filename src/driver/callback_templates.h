// Whether the trigger-callback template (fctri_c) is to be written: it is
// generated once and then left to the tester, who is only warned when an
// interface file has become newer than it.
#pragma once

#include <string>
#include <vector>

namespace zv {

enum class TemplateAction {
    Write,  // missing (or an interface file missing): NEWFFCTRI, write it
    Keep,   // present and not older than any interface file: leave it, silently
    Stale,  // an interface file is newer: OLDFFCTRI, leave it
};

// Compares the template with each interface file in order and reports the
// warning that goes with the outcome.
TemplateAction decideTriggerTemplate(const std::string& templatePath,
                                     const std::vector<std::string>& interfaceFiles);

}  // namespace zv
