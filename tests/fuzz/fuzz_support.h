// What the fuzz targets share: a run's end (normal, fatal or internal) comes
// back to the target instead of ending the process, the process-wide state
// goes back to where it was before each input, and an input is cut into the
// sections a target reads (script, header, options, expressions).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::fuzz {

// The run's state back to where it stood before the first input: the
// diagnostics' counters and the string pool (the tables of pooled texts that
// live as long as the process are made before the pool's mark is taken).
void fresh_state();

// Runs `work`; an end of the run inside it returns here. The exit status, or
// -1 when the work returned by itself.
int until_run_end(const std::function<void()>& work);

// The parts of `input` between the separators, at most `count` (the last
// part keeps any further separators).
std::vector<std::string_view> sections(std::string_view input, std::string_view separator, std::size_t count);

// A directory of the process's own under /tmp, created on first use and
// removed at the process's normal exit.
const std::string& scratch_directory(const char* target);
bool write_file(const std::string& path, std::string_view text);

}  // namespace zv::fuzz
