// The record of one script file read during a parse (the main script or an
// include). Records go to the driver with the tree; every output quotes their
// names, sizes and checksums, so the type is shared by all phases.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zv {

struct ScriptFileRecord {
    std::string name;           // as opened
    const char* pooled_name;    // the same text, interned: nodes point at it
    long length = 0;            // bytes
    std::uint16_t checksum = 0; // CRC-16/KERMIT of the whole content
    std::string directory;      // absolute directory
    std::string base_name;
    long identity_key = 0;
    int index = 0;
};

// The record of the file numbered `index` (files met twice share one), or
// null past the last: the outputs go through the files by number from 1.
inline const ScriptFileRecord* file_with_index(const std::vector<ScriptFileRecord>& files, int index) {
    for (const ScriptFileRecord& f : files)
        if (f.index == index) return &f;
    return nullptr;
}

}  // namespace zv
