#include "diagnostics/guarded.h"

#include "diagnostics/messages.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>

namespace zv {

namespace {

[[noreturn]] void failed(const QString& name) {
    reportSystemFailure(name);
    terminateRun(7);
}

// Given back when memory runs out, so that the notice itself can be written.
void* emergency_reserve = nullptr;

}  // namespace

void allocationFailed() {
    // Per thread: a helper whose reports are held ends its own work, and the
    // main thread can still give its notice afterwards.
    static thread_local bool reporting = false;
    if (reporting) {  // the notice could not be written either
        static const char kPlain[] = "FATAL ERROR on 'malloc',\n Please contact your administrative.";
        [[maybe_unused]] const auto written = ::write(2, kPlain, sizeof kPlain - 1);
        std::_Exit(7);
    }
    reporting = true;
    std::free(emergency_reserve);
    emergency_reserve = nullptr;
    failed(QStringLiteral("malloc"));
}

void installAllocationGuard() {
    if (!emergency_reserve) emergency_reserve = std::malloc(std::size_t{1} << 20);
    std::set_new_handler([] { allocationFailed(); });
}

void* guardedMalloc(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) failed(QStringLiteral("malloc"));
    return block;
}

void* guardedRealloc(void* block, std::size_t size) {
    void* grown = std::realloc(block, size ? size : 1);
    if (!grown) failed(QStringLiteral("realloc"));
    return grown;
}

char* guardedStrdup(const char* text) {
    if (!text) return nullptr;
    char* copy = ::strdup(text);
    if (!copy) failed(QStringLiteral("strdup"));
    return copy;
}

int guardedFprintf(std::FILE* stream, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int written = std::vfprintf(stream, format, args);
    va_end(args);
    if (written == -1) failed(QStringLiteral("fprintf"));
    return written;
}

int guardedSprintf(char* buffer, std::size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(buffer, size, format, args);
    va_end(args);
    if (written == -1) failed(QStringLiteral("sprintf(") + QString::fromLocal8Bit(format));
    return written;
}

void guardedFclose(std::FILE* stream) {
    if (std::fclose(stream) == -1) failed(QStringLiteral("fclose"));
}

std::FILE* openStream(const char* path, const char* mode) {
    return path && mode ? std::fopen(path, mode) : nullptr;
}

int newerThan(const char* first, const char* second) {
    struct stat a {};
    struct stat b {};
    for (auto [path, info] : {std::pair{first, &a}, std::pair{second, &b}}) {
        if (!path || ::stat(path, info) != 0) {
            if (path && errno != ENOENT && errno != ENOTDIR) reportSystemFailure(QStringLiteral("stat"));
            return 0;
        }
    }
    if (a.st_mtim.tv_sec != b.st_mtim.tv_sec) return a.st_mtim.tv_sec > b.st_mtim.tv_sec ? 2 : 1;
    return a.st_mtim.tv_nsec > b.st_mtim.tv_nsec ? 2 : 1;
}

}  // namespace zv
