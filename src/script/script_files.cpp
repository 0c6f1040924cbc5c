#include "script/script_files.h"

#include <array>

#include "common/string_pool.h"
#include "diagnostics/report.h"

#include <unistd.h>

namespace zv {

namespace {

// The reflected polynomial 0x1021, one byte at a time.
constexpr std::array<std::uint16_t, 256> kCrcTable = [] {
    std::array<std::uint16_t, 256> table{};
    for (unsigned n = 0; n < 256; ++n) {
        std::uint16_t crc = static_cast<std::uint16_t>(n);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0x8408) : crc >> 1;
        table[n] = crc;
    }
    return table;
}();

}  // namespace

std::uint16_t crc16_kermit(std::string_view data) {
    std::uint16_t crc = 0;
    for (unsigned char byte : data) crc = static_cast<std::uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ byte) & 0xff]);
    return crc;
}

std::string absolute_directory(std::string_view path, std::string_view cwd) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return std::string(cwd);
    std::string_view part = path.substr(0, slash);
    if (path.front() == '/') return slash == 0 ? std::string("/") : std::string(part);
    std::string out(cwd);
    out += '/';
    out += part;
    return out;
}

std::string base_name_of(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

long identity_key(long length, std::string_view directory) {
    long key = length;
    for (unsigned char c : directory) key += static_cast<long>(c) - 32;
    return key;
}

int ScriptFileTable::index_of(long key, std::uint16_t checksum) {
    for (const Entry& entry : entries_) {
        if (entry.key == key && entry.checksum == checksum) return entry.index;
    }
    if (entries_.size() >= kCapacity) return 0;
    const int index = static_cast<int>(entries_.size()) + 1;
    entries_.push_back({index, key, checksum});
    return index;
}

std::string working_directory() {
    std::string buffer(20000, '\0');
    if (!::getcwd(buffer.data(), buffer.size())) {
        reportAtText(Severity::Internal, Code::SIZBUFOVL, "", nullptr, 0);
        return {};
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

ScriptFileRecord register_script_file(const std::string& name, std::string_view content, ScriptFileTable& table) {
    ScriptFileRecord record;
    record.name = name;
    record.pooled_name = string_pool().intern(name);
    record.length = static_cast<long>(content.size());
    record.checksum = crc16_kermit(content);
    record.directory = absolute_directory(name, !name.empty() && name.front() == '/' ? std::string() : working_directory());
    record.base_name = base_name_of(name);
    record.identity_key = identity_key(record.length, record.directory);
    record.index = table.index_of(record.identity_key, record.checksum);
    if (record.index == 0) reportAtText(Severity::Fatal, Code::INCLOVFLW, "", nullptr, 0);
    return record;
}

}  // namespace zv
