#include "diagnostics/output_file.h"

#include "diagnostics/report.h"

#include <sys/stat.h>
#include <unistd.h>

#include "common/text_format.h"

#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
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

// The thread that writes every output's text, so that the system's copying of
// large outputs runs beside their generation. Pieces and closes are done in
// the order given; what waits is bounded, so a slow disk holds the generators
// back instead of the memory growing.
class OutputWriter {
public:
    static OutputWriter& instance() {
        // Never destroyed: a process that ends without committing or
        // discarding its outputs must not wait for this thread.
        static OutputWriter* writer = new OutputWriter;
        return *writer;
    }

    void write(OutputFile& file, std::string text) {
        if (!text.empty()) hand_over({&file, std::move(text), false});
    }

    void close(OutputFile& file) { hand_over({&file, {}, true}); }

    // A large piece already written, to be filled again (empty when none).
    std::string spare() {
        const std::lock_guard lock(mutex_);
        if (spares_.empty()) return {};
        std::string text = std::move(spares_.back());
        spares_.pop_back();
        return text;
    }

    // Waits until everything handed over is done and lets the thread end.
    void finish() {
        std::unique_lock lock(mutex_);
        if (!thread_.joinable()) return;
        stopping_ = true;
        work_.notify_one();
        lock.unlock();
        thread_.join();
        stopping_ = false;
    }

private:
    struct Job {
        OutputFile* file;
        std::string text;
        bool close;
    };
    static constexpr std::size_t kMaxQueued = std::size_t{8} << 20;
    static constexpr std::size_t kSpareSize = std::size_t{1} << 16;
    static constexpr std::size_t kMaxSpares = 4;

    void hand_over(Job job) {
        std::unique_lock lock(mutex_);
        if (!start()) {
            // No thread to be had: the job is done here.
            lock.unlock();
            perform(job);
            return;
        }
        space_.wait(lock, [&] { return queued_ < kMaxQueued; });
        queued_ += job.text.size();
        jobs_.push_back(std::move(job));
        work_.notify_one();
    }

    bool start() {
        if (thread_.joinable()) return true;
        if (no_thread_) return false;
        try {
            thread_ = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            no_thread_ = true;
        }
        return !no_thread_;
    }

    static void perform(Job& job) {
        OutputFile& file = *job.file;
        if (job.close) {
            if (file.stream_ && std::fclose(file.stream_) != 0) file.failed_ = true;
            file.stream_ = nullptr;
        } else if (file.stream_ && std::fwrite(job.text.data(), 1, job.text.size(), file.stream_) != job.text.size()) {
            file.failed_ = true;
        }
    }

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            work_.wait(lock, [&] { return !jobs_.empty() || stopping_; });
            if (jobs_.empty()) return;
            Job job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            perform(job);
            const std::size_t done = job.text.size();
            lock.lock();
            // Pieces of the generators' size are kept for them to fill again:
            // their memory is in use already and needs no clearing. Larger
            // texts (a whole side output) are not held on to.
            const std::size_t room = job.text.capacity();
            if (room >= kSpareSize && room <= 4 * kSpareSize && spares_.size() < kMaxSpares)
                spares_.push_back(std::move(job.text));
            queued_ -= done;
            space_.notify_one();
        }
    }

    std::mutex mutex_;
    std::condition_variable work_, space_;
    std::deque<Job> jobs_;
    std::vector<std::string> spares_;
    std::size_t queued_ = 0;
    bool stopping_ = false;
    bool no_thread_ = false;  // the system refused a thread: jobs are done at once
    std::thread thread_;
};

OutputFile::OutputFile(std::string path, std::string temporary, std::FILE* stream)
    : path_(std::move(path)), temporary_(std::move(temporary)), stream_(stream) {}

OutputFile::~OutputFile() {
    OutputWriter::instance().finish();
    if (stream_) std::fclose(stream_);
}

OutputFile& OutputFile::open(const std::string& path) {
    // The same target opened twice in a run keeps only the last text.
    auto& files = pending();
    for (auto it = files.begin(); it != files.end(); ++it) {
        if ((*it)->path_ == path) {
            OutputWriter::instance().finish();
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
    if (open_) OutputWriter::instance().write(*this, std::string(text));
}

void OutputFile::write(std::string&& text) {
    if (open_) OutputWriter::instance().write(*this, std::move(text));
}

std::string OutputFile::spare() { return OutputWriter::instance().spare(); }

void OutputFile::writeLine(std::string_view text) {
    std::string line;
    line.reserve(text.size() + 1);
    line += text;
    line += '\n';
    write(std::move(line));
}

void OutputFile::printf(const char* format, ...) {
    std::string text;
    va_list args;
    va_start(args, format);
    append_vformat(text, format, args);
    va_end(args);
    write(std::move(text));
}

void OutputFile::close() {
    if (!open_) return;
    open_ = false;
    OutputWriter::instance().close(*this);
}

void commitPendingOutputs() {
    auto& files = pending();
    for (auto& file : files) file->close();
    OutputWriter::instance().finish();
    // Every file is checked before the first is put in place, so that a run
    // either replaces its whole set of outputs or none of them.
    for (auto& file : files) {
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
    for (auto& file : files) file->close();
    OutputWriter::instance().finish();
    for (auto& file : files) std::remove(file->temporary_.c_str());
    files.clear();
}

std::size_t pendingOutputCount() { return pending().size(); }

}  // namespace zv
