// Writes generated scripts for the robustness run: for each seed of the
// range, s<seed>.zod, its interface header s<seed>.h and the command-line
// options to compile it with, s<seed>.opt, in the directory.
//   zv_gen_scripts <directory> <first seed> <count>
#include "script_generator.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: zv_gen_scripts <directory> <first seed> <count>\n");
        return 2;
    }
    const std::string directory = argv[1];
    const unsigned long long first = std::strtoull(argv[2], nullptr, 10);
    const unsigned long long count = std::strtoull(argv[3], nullptr, 10);
    for (unsigned long long seed = first; seed < first + count; ++seed) {
        const zv::fuzz::GeneratedScript generated = zv::fuzz::generate_script(seed);
        const std::string base = directory + "/s" + std::to_string(seed);
        std::ofstream(base + ".zod", std::ios::binary) << generated.script;
        std::ofstream(base + ".h", std::ios::binary) << generated.header;
        std::ofstream(base + ".opt", std::ios::binary) << generated.options << '\n';
        if (!std::ifstream(base + ".h")) {
            std::fprintf(stderr, "zv_gen_scripts: cannot write %s.h\n", base.c_str());
            return 1;
        }
    }
    return 0;
}
