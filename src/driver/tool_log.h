// The tool-log file of -VARNEL_LOG: one "<tag> <path>" line per output written,
// for the tool chain's IDE. Created on first use; FICERROPN (fatal) when it
// cannot be created.
#pragma once

#include <cstdio>
#include <string>

namespace zv {

class ToolLog {
public:
    explicit ToolLog(std::string path) : path_(std::move(path)) {}
    // (A run ends by taking or dropping the records still waiting first.)
    ~ToolLog() {
        if (stream_) std::fclose(stream_);
    }
    ToolLog(const ToolLog&) = delete;
    ToolLog& operator=(const ToolLog&) = delete;

    bool enabled() const { return !path_.empty(); }
    // Creates the file (truncating it) unless it is open already.
    void create();
    // Writes "tag path\n" when a log file was named: at once, or after the
    // output passes still made beside the caller.
    void record(const char* tag, const std::string& path);
    // Closes the file, in its place after the records.
    void close();

private:
    std::string path_;
    std::FILE* stream_ = nullptr;
};

}  // namespace zv
