// File helpers shared by the unit tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace zv::test {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace zv::test
