// Fuzz target of the script front end: each input is parsed as a script,
// with or without its comments kept. A fatal end (an include that cannot be
// read, a token beyond the length limit) returns here and is no finding; a
// crash, a sanitizer report, a hang or runaway memory is.
#include "fuzz_support.h"
#include "script/parse_script.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = zv::fuzz::scratch_directory("script") + "/s.zod";
    if (!zv::fuzz::write_file(path, std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    zv::fuzz::fresh_state();
    zv::fuzz::until_run_end([&] { zv::parse_script(path, {}, (size & 1) != 0); });
    return 0;
}
