#include "model/semantic_model.h"

#include <vector>

namespace zv {

std::string scenario_full_name(const ScenarioDescriptor& d) {
    // The outermost scenario has no name in the path.
    std::vector<const char*> names;
    std::size_t length = 0;
    for (const ScenarioDescriptor* s = &d; s->parent; s = s->parent) {
        const char* name = s->entry && s->entry->name ? s->entry->name : "";
        names.push_back(name);
        length += std::char_traits<char>::length(name) + 1;
    }
    std::string full;
    full.reserve(length);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (!full.empty()) full += '.';
        full += *it;
    }
    return full;
}

}  // namespace zv
