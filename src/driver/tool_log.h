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
    ~ToolLog() { close(); }
    ToolLog(const ToolLog&) = delete;
    ToolLog& operator=(const ToolLog&) = delete;

    bool enabled() const { return !path_.empty(); }
    // Creates the file (truncating it) unless it is open already.
    void create();
    // Writes "tag path\n" when a log file was named.
    void record(const char* tag, const std::string& path);
    void close();

private:
    std::string path_;
    std::FILE* stream_ = nullptr;
};

}  // namespace zv
