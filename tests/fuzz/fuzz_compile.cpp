// Fuzz target of the whole compiler, in process: an input is a script, then
// optionally "\n%%\n" and its interface header, then optionally "\n%%\n" and
// bytes that each choose an option of the command line (from a fixed list:
// no option that names a file). The run goes through every phase and writes
// its outputs into a directory of the process's own; its end, normal or
// fatal, returns here and is no finding.
#include "driver/driver.h"
#include "fuzz_support.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

const char* const kOptions[] = {
    "-TRACE=CIRCULAR", "-TRACE=TIME", "-TRACE=ERROR", "-TRACE=SCN", "-RESTRICTION=ANSI", "-RESTRICTION=KR",
    "-NOCOMMENT", "-NOFAST", "-INSTANCE=Alice", "-SCN=sc1", "-EXSCN=sc2", "-FAMILY=fam0", "-EXFAMILY=fam1",
    "-SET=AB", "-SPVGEN", "-PROBE=DEFAULT", "-PROBE=CUSTOM", "-ALLOCATION=DYNAMIC", "-ALLOCATION=STACK",
    "-NOTSHARED", "-THREAD=start_up", "-NOPATH", "-BUFSIZE=5", "-DEFINE=FLAG=1", "-NOLOG"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Standard headers come from the reference target directory; -SPVGEN
    // writes into the working directory.
    ::setenv("KVSTGT", ZV_SOURCE_DIR "/target", 0);
    if (::chdir(zv::fuzz::scratch_directory("compile").c_str()) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Nothing of an earlier run (outputs, listing, scenario file) for this
    // one to include or write over: each input runs alone.
    const std::string& directory = zv::fuzz::scratch_directory("compile");
    std::error_code ignored;
    std::vector<std::filesystem::path> earlier;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ignored)) earlier.push_back(entry.path());
    for (const auto& path : earlier) std::filesystem::remove_all(path, ignored);
    std::filesystem::create_directory(directory + "/out", ignored);
    const auto parts = zv::fuzz::sections(std::string_view(reinterpret_cast<const char*>(data), size), "\n%%\n", 3);
    if (!zv::fuzz::write_file("s.zod", parts[0]) || !zv::fuzz::write_file("s.h", parts.size() > 1 ? parts[1] : ""))
        return 0;
    std::vector<std::string> args = {"zerizevar", "s.zod", "s.h", "out/s"};
    if (parts.size() > 2) {
        for (std::size_t i = 0; i < parts[2].size() && i < 4; ++i)
            args.push_back(kOptions[static_cast<unsigned char>(parts[2][i]) % std::size(kOptions)]);
    }
    zv::runInProcess(args);
    return 0;
}
