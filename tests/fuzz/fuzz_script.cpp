// libFuzzer target for the script front end: each input is parsed as a script.
// Inputs that could end the run through a fatal or internal message by design
// (include lines, the VIRTUAL keywords, tokens beyond the length limit) are
// skipped, so that any exit or crash that remains is a finding; the bounded
// mutation test in the unit tests covers those paths. Run with -close_fd_mask=2
// to keep the diagnostics of the parses off the console.
#include "diagnostics/message_catalog.h"
#include "script/parse_script.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {
std::string script_path;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zv::registerMessageCatalog();
    script_path = "/tmp/zv_fuzz_" + std::to_string(::getpid()) + ".zod";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (size > 14000 || text.find("INCLUDE") != std::string_view::npos ||
        text.find("VIRTUAL") != std::string_view::npos) {
        return -1;
    }
    if (std::FILE* out = std::fopen(script_path.c_str(), "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
        zv::parse_script(script_path, {}, (size & 1) != 0);
    }
    return 0;
}
