// Script files met during a parse: building the record of each file opened (the
// main script and every include) and the table that gives the same file met
// twice the same index.
#pragma once

#include "common/script_file_record.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// CRC-16 with polynomial 0x1021, initial value 0, input and output reflected.
std::uint16_t crc16_kermit(std::string_view data);

// Absolute directory of `path`: its directory part when it begins with "/",
// otherwise the working directory joined with that part (or the working
// directory alone for a bare name). `cwd` is the working directory.
std::string absolute_directory(std::string_view path, std::string_view cwd);
std::string base_name_of(std::string_view path);
long identity_key(long length, std::string_view directory);

// The 500-entry table of distinct files.
class ScriptFileTable {
public:
    static constexpr std::size_t kCapacity = 500;
    // Index of (key, checksum), appending a new entry when unknown; 0 when the
    // table is full (the caller raises INCLOVFLW).
    int index_of(long key, std::uint16_t checksum);
    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        int index;
        long key;
        std::uint16_t checksum;
    };
    std::vector<Entry> entries_;
};

// The working directory, or SIZBUFOVL (internal) when it cannot be read into
// 20000 characters.
std::string working_directory();

// Builds the record of a file whose content is in memory and registers it in
// the table (INCLOVFLW when a 501st distinct file appears).
ScriptFileRecord register_script_file(const std::string& name, std::string_view content, ScriptFileTable& table);

}  // namespace zv
