#include "diagnostics/output_file.h"

#include "diagnostics/report.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <list>
#include <memory>
#include <vector>

namespace zv {

namespace {

std::list<std::unique_ptr<OutputFile>>& pending() {
    static std::list<std::unique_ptr<OutputFile>> files;
    return files;
}

// A target that could not be written over: a directory, or a file that
// opening for writing would refuse.
bool unwritableTarget(const std::string& path) {
    struct stat status{};
    if (::stat(path.c_str(), &status) != 0) return false;
    return S_ISDIR(status.st_mode) || ::access(path.c_str(), W_OK) != 0;
}

}  // namespace

OutputFile::OutputFile(std::string path, std::string temporary, std::FILE* stream)
    : path_(std::move(path)), temporary_(std::move(temporary)), stream_(stream) {}

OutputFile::~OutputFile() {
    if (stream_) std::fclose(stream_);
}

OutputFile& OutputFile::open(const std::string& path) {
    // The same target opened twice in a run keeps only the last text.
    auto& files = pending();
    for (auto it = files.begin(); it != files.end(); ++it) {
        if ((*it)->path_ == path) {
            if ((*it)->stream_) std::fclose((*it)->stream_);
            (*it)->stream_ = nullptr;
            std::remove((*it)->temporary_.c_str());
            files.erase(it);
            break;
        }
    }
    // Refused at once, before anything of the run is put in place.
    if (unwritableTarget(path)) reportFatalText(Code::FICERROPN, path.c_str());
    std::string temporary = path + ".zvtmp" + std::to_string(static_cast<long>(::getpid()));
    std::FILE* stream = std::fopen(temporary.c_str(), "w");
    if (!stream) reportFatalText(Code::FICERROPN, path.c_str());
    files.push_back(std::make_unique<OutputFile>(path, temporary, stream));
    return *files.back();
}

void OutputFile::write(std::string_view text) {
    if (!stream_ || text.empty()) return;
    if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) failed_ = true;
}

void OutputFile::writeLine(std::string_view text) {
    write(text);
    write("\n");
}

void OutputFile::printf(const char* format, ...) {
    if (!stream_) return;
    va_list args;
    va_start(args, format);
    if (std::vfprintf(stream_, format, args) < 0) failed_ = true;
    va_end(args);
}

void OutputFile::close() {
    if (!stream_) return;
    if (std::fclose(stream_) != 0) failed_ = true;
    stream_ = nullptr;
}

void commitPendingOutputs() {
    auto& files = pending();
    // Every file is checked before the first is put in place, so that a run
    // either replaces its whole set of outputs or none of them.
    for (auto& file : files) {
        file->close();
        if (file->failed_ || unwritableTarget(file->path_)) {
            const std::string path = file->path_;
            discardPendingOutputs();
            reportFatalText(Code::FICERROPN, path.c_str());
        }
    }
    while (!files.empty()) {
        std::unique_ptr<OutputFile> file = std::move(files.front());
        files.pop_front();
        if (std::rename(file->temporary_.c_str(), file->path_.c_str()) != 0) {
            std::remove(file->temporary_.c_str());
            const std::string path = file->path_;
            file.reset();
            discardPendingOutputs();
            reportFatalText(Code::FICERROPN, path.c_str());
        }
    }
}

void discardPendingOutputs() {
    auto& files = pending();
    for (auto& file : files) {
        file->close();
        std::remove(file->temporary_.c_str());
    }
    files.clear();
}

std::size_t pendingOutputCount() { return pending().size(); }

}  // namespace zv
