// Guarded system operations: each wraps one library call and, when it fails,
// writes the "FATAL ERROR on '<name>'" notice and ends the run with status 7.
// newerThan compares modification times for the template writers.
#pragma once

#include <cstddef>
#include <cstdio>

namespace zv {

void* guardedMalloc(std::size_t size);
void* guardedRealloc(void* block, std::size_t size);
char* guardedStrdup(const char* text);  // null gives null without a notice
int guardedFprintf(std::FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
int guardedSprintf(char* buffer, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void guardedFclose(std::FILE* stream);
// Memory exhausted anywhere in the run: the "malloc" notice and status 7.
// installAllocationGuard makes it what a failing `new` does (call it once,
// early); code that allocates through calloc calls it on a null result.
[[noreturn]] void allocationFailed();
void installAllocationGuard();

// Opens a stream without any notice; null when it cannot be opened.
std::FILE* openStream(const char* path, const char* mode);

// 0 when either file does not exist, 1 when `first` is not later than `second`,
// 2 when it is later. Any other status failure writes the "stat" notice, does not
// stop the run and gives 0.
int newerThan(const char* first, const char* second);

}  // namespace zv
