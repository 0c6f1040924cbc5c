#include "outputs/scenario_file.h"


#include <algorithm>
#include <set>

namespace zv {

namespace {

void quoted(std::string& out, const std::string& text) {
    out += '"';
    out += text;
    out += '"';
}

// Items in double quotes separated by `separator` (", " or ",").
void quotedList(std::string& out, const std::vector<std::string>& items, const char* separator) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += separator;
        quoted(out, items[i]);
    }
}

void tabs(std::string& out, int count) { out.append(static_cast<std::size_t>(count), '\t'); }

void tree(std::string& out, const std::vector<SpgScenario>& siblings, int depth) {
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        tabs(out, depth);
        out += i ? "  ," : "   ";
        quoted(out, siblings[i].name);
        out += '\n';
        if (siblings[i].children.empty()) continue;
        tabs(out, depth + 1);
        out += ",(\n";
        tree(out, siblings[i].children, depth + 1);
        tabs(out, depth + 1);
        out += ")\n";
    }
}

template <class Visit>
void preorder(const std::vector<SpgScenario>& scenarios, Visit&& visit) {
    for (const SpgScenario& s : scenarios) {
        visit(s);
        preorder(s.children, visit);
    }
}

}  // namespace

std::string format_scenario_file(const std::string& spg_path, const std::vector<ScriptFileRecord>& files,
                                 const ScenarioFileContent& content) {
    const std::string base = spg_path.size() >= 4 ? spg_path.substr(0, spg_path.size() - 4) : std::string();
    std::string out = "SPG_FILE = {\n\n";
    out += "\tSPG_FILE_NAME = \"" + base + ".spg\";\n\n";
    out += "\tZOD_FILE_NAME = \"" + base + ".zod\";\n\n";

    out += "\tHTS_FILE_LIST = (";
    std::vector<std::string> included;
    for (std::size_t i = 0; i + 1 < files.size(); ++i) included.push_back(files[i].name);
    quotedList(out, included, ", ");
    out += ");\n\n";

    out += "\tINSTANCE_LIST = (";
    quotedList(out, content.instances, ", ");
    out += ");\n\n";

    std::vector<std::string> families;
    std::set<std::string> seen;
    preorder(content.top_level, [&](const SpgScenario& s) {
        for (const std::string& f : s.families) {
            if (seen.insert(f).second) families.push_back(f);
        }
    });
    out += "\tFAMILY_LIST   = (";
    quotedList(out, families, ",");
    out += ");\n\n";

    out += "\tSCENARIO_TREE = (\n";
    tree(out, content.top_level, 1);
    out += "\t);\n\n";

    out += "\tSCENARII_LIST = {\n";
    preorder(content.top_level, [&](const SpgScenario& s) {
        out += "\t\t SCENARIO  {\n";
        out += "\t\t\tNAME        = \"" + s.qualified_name + "\";\n";
        out += "\t\t\tFILE        = \"" + s.file + "\";\n";
        out += "\t\t\tLINE        = \"" + std::to_string(s.line) + "\";\n";
        out += "\t\t\tFAMILY_LIST = (";
        quotedList(out, s.families, ",");
        out += ");\n\t\t    };\n\n";
    });
    out += "\t};\n\n";

    out += "\tRDV_LIST = {\n";
    for (const SpgRendezvous& r : content.rendezvous) {
        out += "\n\t\tRDV {\n";
        if (r.holder == SpgRendezvous::Holder::Scenario) {
            out += "\t\t\tSCENARIO     = \"" + r.holder_name + "\";\n";
        } else if (r.holder == SpgRendezvous::Holder::Procedure) {
            out += "\t\t\tPROC         = \"" + r.holder_name + "\";\n";
        }
        out += "\t\t\tRDV_NAME     = \"" + r.name + "\";\n";
        out += "\t\t\tFROM_FILE    = {\n";
        if (!r.file.empty()) out += "\t\t\t\tNAME = \"" + r.file + "\";\n";
        if (r.line != 0) out += "\t\t\t\tLINE = \"" + std::to_string(r.line) + "\";\n";
        out += "\t\t\t};\n";
        out += "\t\t\tMEMBERS_LIST = (";
        quotedList(out, r.members, ", ");
        out += ");\n\t\t};\n";
    }
    out += "\t};\n};\n";
    return out;
}

}  // namespace zv
