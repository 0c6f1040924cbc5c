// Path helpers shared by the driver and the generators.
#pragma once

#include <string>
#include <string_view>

namespace zv {

// Last component of a path ("" for an empty path).
std::string fileNameOf(std::string_view path);
// Directory part of a path: "." for a bare name, "" for an empty path.
std::string directoryOf(std::string_view path);
// directory + "/" + name
std::string joinPath(std::string_view directory, std::string_view name);

}  // namespace zv
