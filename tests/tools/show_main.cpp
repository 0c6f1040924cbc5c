// zv_inspect <command> [args...]: dispatches to the registered subcommands.
#include "show.h"

#include "common/heap.h"
#include "diagnostics/guarded.h"
#include "diagnostics/message_catalog.h"

#include <QCoreApplication>

#include <cstdio>
#include <map>

namespace zv::inspect {

namespace {
struct Entry {
    std::string help;
    Handler handler;
};
std::map<std::string, Entry>& commands() {
    static std::map<std::string, Entry> table;
    return table;
}
}  // namespace

InspectCommand::InspectCommand(const char* name, const char* help, Handler handler) {
    commands()[name] = {help, std::move(handler)};
}

}  // namespace zv::inspect

int main(int argc, char** argv) {
    using namespace zv::inspect;
    zv::prepare_heap();
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    zv::registerMessageCatalog();
    zv::installAllocationGuard();
    if (argc < 2 || !commands().count(argv[1])) {
        std::fprintf(stderr, "usage: zv_inspect <command> [args...]\ncommands:\n");
        for (const auto& [name, entry] : commands()) std::fprintf(stderr, "  %-12s %s\n", name.c_str(), entry.help.c_str());
        return 2;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    return commands()[argv[1]].handler(args);
}
