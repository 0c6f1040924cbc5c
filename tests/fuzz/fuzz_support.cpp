#include "fuzz_support.h"

#include "common/string_pool.h"
#include "diagnostics/message_catalog.h"
#include "diagnostics/report.h"
#include "diagnostics/run_end.h"
#include "native/native_analyser.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zv::fuzz {
namespace {

struct Ended {
    int status;
};

[[noreturn]] void throw_ended(int status) { throw Ended{status}; }

}  // namespace

void fresh_state() {
    static const StringPool::Mark mark = [] {
        registerMessageCatalog();
        native::build_pooled_tables();
        return string_pool().mark();
    }();
    string_pool().roll_back(mark);
    resetReportState();
}

int until_run_end(const std::function<void()>& work) {
    setRunEndHandler(throw_ended);
    int status = -1;
    try {
        work();
    } catch (const Ended& end) {
        status = end.status;
    }
    setRunEndHandler(nullptr);
    return status;
}

std::vector<std::string_view> sections(std::string_view input, std::string_view separator, std::size_t count) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < count) {
        const std::size_t at = input.find(separator);
        if (at == std::string_view::npos) break;
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + separator.size());
    }
    parts.push_back(input);
    return parts;
}

const std::string& scratch_directory(const char* target) {
    static std::string directory;
    if (directory.empty()) {
        // In memory where the system offers it: every input is written to a file.
        struct stat shm{};
        const char* base = ::stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) && ::access("/dev/shm", W_OK) == 0
                               ? "/dev/shm"
                               : "/tmp";
        directory = std::string(base) + "/zv_fuzz_" + std::string(target) + "_" + std::to_string(::getpid());
        ::mkdir(directory.c_str(), 0700);
        // Gone at a normal exit; kept when the process dies on a finding.
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(directory, ignored);
        });
    }
    return directory;
}

bool write_file(const std::string& path, std::string_view text) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace zv::fuzz

// ASan keeps the stack of every allocation in a depot that never shrinks; the
// analyses' deep recursions give ever new stacks, so a long campaign grew by
// gigabytes and spent half its time storing them. A few frames per stack are
// enough to tell where a block was allocated. Freed memory is held back for
// a shorter while and given back to the system, so that the process's size
// (limited to 2 GB for a finding) follows what the inputs use.
extern "C" const char* __asan_default_options() {
    return "malloc_context_size=5:quarantine_size_mb=64:allocator_release_to_os_interval_ms=1000";
}
