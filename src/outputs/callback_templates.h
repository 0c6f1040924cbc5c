// The callback templates of scripts in the socket style: korva_c.h with one
// acquisition prototype per message type, fctfc_c that only includes the
// headers, and the template fctri_c with an empty acquisition function per
// message type. fctri_c is generated once and then left to the tester, who is
// only warned when an interface file has become newer than it.
#pragma once

#include <string>
#include <vector>

namespace zv {

struct Scope;

enum class TemplateAction {
    Write,  // missing (or an interface file missing): NEWFFCTRI, write it
    Keep,   // present and not older than any interface file: leave it, silently
    Stale,  // an interface file is newer: OLDFFCTRI, leave it
};

// Compares the template with each interface file in order and reports the
// warning that goes with the outcome.
TemplateAction decideTriggerTemplate(const std::string& templatePath,
                                     const std::vector<std::string>& interfaceFiles);

// Writes the templates beside the C driver at `cDriverPath` (same directory,
// same extension) for the message types of the model's root scope, in
// declaration order; `interfaceFiles` as the command line gives them.
void writeCallbackTemplates(const std::string& cDriverPath, const std::vector<std::string>& interfaceFiles,
                            const Scope* root);

// The texts of the three files (fctri_c, fctfc_c, korva_c.h) for the message
// type names given.
std::string triggerTemplateText(const std::vector<std::string>& messageTypes);
std::string includesOnlyText();
std::string korvaHeaderText(const std::vector<std::string>& interfaceFiles, const std::vector<std::string>& messageTypes);

}  // namespace zv
