#include "driver/tool_log.h"

#include "diagnostics/aside_work.h"
#include "diagnostics/report.h"

namespace zv {

void ToolLog::create() {
    if (!enabled() || stream_) return;
    stream_ = std::fopen(path_.c_str(), "w");
    if (!stream_) reportFatalText(Code::FICERROPN, path_.c_str());
}

// Records and the end of the log keep their place after output passes made
// beside the caller: one that ends the run ends it before them.
void ToolLog::record(const char* tag, const std::string& path) {
    if (!enabled()) return;
    afterAsideWork([this, tag, path] {
        create();
        std::fprintf(stream_, "%s %s\n", tag, path.c_str());
        std::fflush(stream_);
    });
}

void ToolLog::close() {
    afterAsideWork([this] {
        if (stream_) std::fclose(stream_);
        stream_ = nullptr;
    });
}

}  // namespace zv
