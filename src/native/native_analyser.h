// The interface analysis as the rest of the compiler sees it: set-up with the
// include path and defines, preprocessing, registration of C declarations under
// C scope names, and the type questions of the semantic analysis.
#pragma once

#include "native/c_token.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zv {
struct RunSettings;
}

namespace zv::native {

class Preprocessor;

class NativeAnalyser {
public:
    NativeAnalyser(int restriction, const std::vector<std::string>& include_dirs);
    ~NativeAnalyser();

    Preprocessor& preprocessor() { return *pp_; }

    // Reads a file through a one-line `#include "path"` text; the include line's
    // own messages carry `path` and line 0 for the standard-defines file, no
    // name for an interface file. The declarations go to the empty scope name.
    void analyse_file(const std::string& path, bool standard_defines);
    // Tokens of a file read the same way, without declaration analysis.
    TokenList preprocess_file(const std::string& path);

    // Preprocessed text of `text` (with line markers), or nothing when empty.
    std::optional<std::string> preprocess(const std::string& text);

private:
    TokenList run_text(const std::string& text, const std::string& name, int line);

    std::unique_ptr<Preprocessor> pp_;
    int restriction_;
};

// The search path of the analyser: INCL directories, $KVSTGT/lib or else
// $KVRTGT/lib, then the system directories when KVW_ADD_USR_INCLUDE is set.
std::vector<std::string> include_search_path(const std::vector<std::string>& include_dirs);

std::unique_ptr<NativeAnalyser> native_setup(int restriction, const std::vector<std::string>& include_dirs,
                                             const std::vector<std::string>& defines);
std::optional<std::string> native_preprocess(NativeAnalyser& analyser, const std::string& text);
void native_end(std::unique_ptr<NativeAnalyser> analyser);

// Step of the driver: set up the analyser from the run settings and read the
// standard-defines file (`std_define_path`, empty when not given) and then
// every interface file, in command-line order.
std::unique_ptr<NativeAnalyser> analyse_interfaces(const RunSettings& settings, const std::string& std_define_path);

}  // namespace zv::native
