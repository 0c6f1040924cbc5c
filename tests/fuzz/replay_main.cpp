// A plain driver for the fuzz targets, for builds without libFuzzer (the
// check builds): runs the target on every file of the given directories,
// then on -runs=N inputs made from them by mutations drawn from -seed=S
// (bytes changed, inserted, erased or repeated, words of the -dict=file
// dictionary, pieces of other inputs), each under a time limit. The same
// arguments give the same inputs. The input being run is written to
// -artifact=file first, so it is at hand when the run dies. The runs'
// diagnostics are discarded; sanitizer reports are not.
#include "common/heap.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Present in the sanitizer runtimes only.
extern "C" void __sanitizer_set_report_fd(void* fd) __attribute__((weak));

namespace {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(next() % n); }

private:
    std::uint64_t state_;
};

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void collect(const std::string& path, std::vector<std::string>& inputs) {
    if (DIR* dir = ::opendir(path.c_str())) {
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.') names.push_back(entry->d_name);
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) collect(path + "/" + name, inputs);
    } else {
        inputs.push_back(read_file(path));
    }
}

// The quoted words of a libFuzzer dictionary, escapes \\, \" and \xNN read.
std::vector<std::string> dictionary(const std::string& path) {
    std::vector<std::string> words;
    std::istringstream lines(read_file(path));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t open = line.find('"');
        const std::size_t close = line.rfind('"');
        if (line.empty() || line[0] == '#' || open == std::string::npos || close <= open) continue;
        std::string word;
        for (std::size_t i = open + 1; i < close; ++i) {
            if (line[i] == '\\' && i + 1 < close && line[i + 1] == 'x' && i + 3 < close) {
                word += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
                i += 3;
            } else if (line[i] == '\\' && i + 1 < close) {
                word += line[++i];
            } else {
                word += line[i];
            }
        }
        words.push_back(word);
    }
    return words;
}

std::string mutated(const std::vector<std::string>& corpus, const std::vector<std::string>& words, Random& random,
                    std::size_t max_len) {
    static const char kSpecial[] = "{}()[];,=\n\"'#\\%&*<>.0129AZaz_ \t";
    std::string text = corpus.empty() ? std::string() : corpus[random.below(corpus.size())];
    for (std::size_t count = 1 + random.below(4); count > 0; --count) {
        const std::size_t at = random.below(text.size() + 1);
        switch (random.below(7)) {
        case 0:
            if (at < text.size()) text[at] = static_cast<char>(text[at] ^ (1 << random.below(8)));
            break;
        case 1:
            if (at < text.size()) text[at] = kSpecial[random.below(sizeof kSpecial - 1)];
            break;
        case 2: text.erase(at, 1 + random.below(16)); break;
        case 3:
            for (std::size_t n = 1 + random.below(8); n > 0; --n) text.insert(at, 1, static_cast<char>(random.below(256)));
            break;
        case 4:
            if (!words.empty()) text.insert(at, words[random.below(words.size())]);
            break;
        case 5:
            if (at < text.size()) text.insert(random.below(text.size() + 1), text.substr(at, 1 + random.below(64)));
            break;
        default:
            if (!corpus.empty()) {
                const std::string& other = corpus[random.below(corpus.size())];
                const std::size_t from = random.below(other.size() + 1);
                text.insert(at, other.substr(from, random.below(256)));
            }
            break;
        }
    }
    if (text.size() > max_len) text.resize(max_len);
    return text;
}

unsigned long option(const std::string& arg, const char* name, unsigned long fallback) {
    const std::string prefix = std::string("-") + name + "=";
    return arg.compare(0, prefix.size(), prefix) == 0 ? std::stoul(arg.substr(prefix.size())) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
    zv::prepare_heap();  // as the compiler's own main does
    unsigned long runs = 0, seed = 1, max_len = 4096, timeout = 10;
    std::string dict, artifact;
    std::vector<std::string> corpus;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        runs = option(arg, "runs", runs);
        seed = option(arg, "seed", seed);
        max_len = option(arg, "max_len", max_len);
        timeout = option(arg, "timeout", timeout);
        if (arg.rfind("-dict=", 0) == 0) dict = arg.substr(6);
        else if (arg.rfind("-artifact=", 0) == 0) artifact = arg.substr(10);
        else if (arg[0] != '-') collect(arg, corpus);
    }
    const std::vector<std::string> words = dict.empty() ? std::vector<std::string>() : dictionary(dict);
    LLVMFuzzerInitialize(&argc, &argv);
    // The diagnostics of the runs stay off the console; sanitizer reports
    // still reach it.
    const int console = ::dup(2);
    if (__sanitizer_set_report_fd) __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(console)));
    if (std::FILE* null = std::freopen("/dev/null", "w", stderr)) (void)null;
    // No handler: a run over the limit ends the process with SIGALRM.
    ::signal(SIGALRM, SIG_DFL);
    Random random(seed);
    const auto start = std::chrono::steady_clock::now();
    const std::size_t total = corpus.size() + runs;
    for (std::size_t n = 0; n < total; ++n) {
        const std::string input = n < corpus.size() ? corpus[n] : mutated(corpus, words, random, max_len);
        if (!artifact.empty()) std::ofstream(artifact, std::ios::binary | std::ios::trunc) << input;
        ::alarm(static_cast<unsigned>(timeout));
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
        ::alarm(0);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::close(console);
    std::fprintf(stdout, "%zu inputs (%zu from the corpus) in %.1f s\n", total, corpus.size(), seconds);
    if (!artifact.empty()) std::remove(artifact.c_str());
    return 0;
}
