// Helpers for the command-line tests: an argument vector built from words, and
// the capture of everything written to standard error (fd 2) while a piece of
// code runs, so that exact analyser texts can be compared.
#pragma once

#include "driver/command_line.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace zv::test {

// Owns the strings behind an argv; the first word is the program name.
class Argv {
public:
    explicit Argv(std::vector<std::string> words) : words_(std::move(words)) {
        for (std::string& w : words_) pointers_.push_back(w.data());
        pointers_.push_back(nullptr);
    }
    Argv(std::initializer_list<std::string> words) : Argv(std::vector<std::string>(words)) {}
    Argv(const Argv&) = delete;
    Argv& operator=(const Argv&) = delete;
    int argc() const { return static_cast<int>(words_.size()); }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

// Runs `action` with fd 2 redirected to a temporary file; returns the bytes.
inline std::string captureStderr(const std::function<void()>& action) {
    std::fflush(stderr);
    std::FILE* file = std::tmpfile();
    if (!file) std::abort();
    const int saved = ::dup(2);
    ::dup2(::fileno(file), 2);
    action();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    std::string text;
    std::rewind(file);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    std::fclose(file);
    return text;
}

// The outcome of analyseCommandLine over `words` (program name first).
struct Analysis {
    bool ok = false;
    std::string echo;
    std::string errors;  // what the analyser wrote to standard error
};
inline Analysis analyseWords(std::vector<std::string> words) {
    Argv args(std::move(words));
    Analysis a;
    a.errors = captureStderr([&] { a.ok = analyseCommandLine(args.argc(), args.argv(), a.echo); });
    return a;
}

}  // namespace zv::test
