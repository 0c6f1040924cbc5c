#include "diagnostics/output_file.h"

#include "diagnostics/report.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "common/text_format.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
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

// The cores this process may run on.
unsigned usable_cores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) return static_cast<unsigned>(CPU_COUNT(&set));
    return std::thread::hardware_concurrency();
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

    void want_thread(std::optional<bool> wanted) {
        finish();
        const std::lock_guard lock(mutex_);
        thread_wanted_ = wanted;
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
            // No thread: the job is done here, in the order of the calls.
            lock.unlock();
            std::vector<std::string> done;
            {
                const std::lock_guard in_order(performing_);
                perform(job, done);
            }
            lock.lock();
            keep_spares(done);
            return;
        }
        space_.wait(lock, [&] { return queued_ < kMaxQueued; });
        queued_ += job.text.size();
        jobs_.push_back(std::move(job));
        work_.notify_one();
    }

    bool start() {
        if (thread_.joinable()) return true;
        // The generators keep two cores busy: a writer beside them only pays
        // where it has a core of its own; otherwise it would take turns with
        // them, and each turn costs more than the copying it does.
        if (!thread_wanted_) thread_wanted_ = usable_cores() >= 3;
        if (!*thread_wanted_) return false;
        try {
            thread_ = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            thread_wanted_ = false;  // the system refused one: not asked again
        }
        return *thread_wanted_;
    }

    // Text reaches a file in spans that end on multiples of kSpan bytes (but
    // for the last): the system then keeps it in large pages of its cache,
    // which costs it far less than the generators' pieces of a few KB would.
    static constexpr std::size_t kSpan = std::size_t{512} << 10;
    static constexpr int kMaxVectors = 64;

    // Writes the held text up to the last span boundary, or all of it. The
    // pieces written whole go to `done`.
    static void flush(OutputFile& file, bool all, std::vector<std::string>& done) {
        const std::size_t end = file.written_ + file.held_bytes_;
        std::size_t want = all ? file.held_bytes_ : std::max(end / kSpan * kSpan, file.written_) - file.written_;
        while (want > 0 && !file.failed_) {
            iovec vectors[kMaxVectors];
            int count = 0;
            std::size_t from = file.held_from_, gathered = 0;
            for (auto it = file.held_.begin(); it != file.held_.end() && count < kMaxVectors && gathered < want; ++it) {
                const std::size_t length = std::min(it->size() - from, want - gathered);
                vectors[count++] = {it->data() + from, length};
                gathered += length;
                from = 0;
            }
            const ssize_t put = ::writev(file.descriptor_, vectors, count);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                file.failed_ = true;
                break;
            }
            std::size_t left = static_cast<std::size_t>(put);
            file.written_ += left;
            file.held_bytes_ -= left;
            want -= left;
            while (left > 0) {
                const std::size_t rest = file.held_.front().size() - file.held_from_;
                if (left < rest) {
                    file.held_from_ += left;
                    break;
                }
                left -= rest;
                file.held_from_ = 0;
                done.push_back(std::move(file.held_.front()));
                file.held_.pop_front();
            }
        }
        if (file.failed_) {
            file.held_.clear();
            file.held_from_ = file.held_bytes_ = 0;
        }
    }

    static void perform(Job& job, std::vector<std::string>& done) {
        OutputFile& file = *job.file;
        if (file.descriptor_ < 0) return;
        if (job.close) {
            flush(file, true, done);
            if (::close(file.descriptor_) != 0) file.failed_ = true;
            file.descriptor_ = -1;
        } else if (!file.failed_) {
            file.held_bytes_ += job.text.size();
            file.held_.push_back(std::move(job.text));
            if (file.held_bytes_ >= kSpan) flush(file, false, done);
        }
    }

    // Pieces of the generators' size are kept for them to fill again: their
    // memory is in use already and needs no clearing. Larger texts (a whole
    // side output) are not held on to. Called with the lock held.
    void keep_spares(std::vector<std::string>& done) {
        for (std::string& text : done) {
            const std::size_t room = text.capacity();
            if (room >= kSpareSize && room <= 4 * kSpareSize && spares_.size() < kMaxSpares)
                spares_.push_back(std::move(text));
        }
    }

    void run() {
        std::vector<std::string> done;
        std::unique_lock lock(mutex_);
        for (;;) {
            work_.wait(lock, [&] { return !jobs_.empty() || stopping_; });
            if (jobs_.empty()) return;
            Job job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            done.clear();  // what the last job left and was not kept, freed outside the lock
            const std::size_t size = job.text.size();
            perform(job, done);
            lock.lock();
            keep_spares(done);
            queued_ -= size;
            space_.notify_one();
        }
    }

    std::mutex mutex_;
    std::mutex performing_;  // held by a caller doing its job itself
    std::condition_variable work_, space_;
    std::deque<Job> jobs_;
    std::vector<std::string> spares_;
    std::size_t queued_ = 0;
    bool stopping_ = false;
    // Whether jobs go to the thread or are done at once: decided at the first
    // job (unless set), and false for good once the system refused a thread.
    std::optional<bool> thread_wanted_;
    std::thread thread_;
};

OutputFile::OutputFile(std::string path, std::string temporary, int descriptor)
    : path_(std::move(path)), temporary_(std::move(temporary)), descriptor_(descriptor) {}

OutputFile::~OutputFile() {
    OutputWriter::instance().finish();
    shut();
}

void OutputFile::shut() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    held_.clear();
    held_from_ = held_bytes_ = 0;
}

OutputFile& OutputFile::open(const std::string& path) {
    // The same target opened twice in a run keeps only the last text.
    auto& files = pending();
    for (auto it = files.begin(); it != files.end(); ++it) {
        if ((*it)->path_ == path) {
            OutputWriter::instance().finish();
            (*it)->shut();
            std::remove((*it)->temporary_.c_str());
            files.erase(it);
            break;
        }
    }
    // Refused at once, before anything of the run is put in place.
    if (unwritableTarget(path)) reportFatalText(Code::FICERROPN, path.c_str());
    std::string temporary = path + ".zvtmp" + std::to_string(static_cast<long>(::getpid()));
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0) reportFatalText(Code::FICERROPN, path.c_str());
    files.push_back(std::make_unique<OutputFile>(path, temporary, descriptor));
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

void setOutputWriterThread(std::optional<bool> wanted) { OutputWriter::instance().want_thread(wanted); }

}  // namespace zv
