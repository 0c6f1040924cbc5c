#include "driver/tool_log.h"

#include "diagnostics/report.h"

namespace zv {

void ToolLog::create() {
    if (!enabled() || stream_) return;
    stream_ = std::fopen(path_.c_str(), "w");
    if (!stream_) reportFatalText(Code::FICERROPN, path_.c_str());
}

void ToolLog::record(const char* tag, const std::string& path) {
    if (!enabled()) return;
    create();
    std::fprintf(stream_, "%s %s\n", tag, path.c_str());
    std::fflush(stream_);
}

void ToolLog::close() {
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
}

}  // namespace zv
