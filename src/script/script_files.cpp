#include "script/script_files.h"

#include <array>

#include "common/string_pool.h"
#include "diagnostics/report.h"

#include <unistd.h>

namespace zv {

namespace {

// The reflected polynomial 0x1021. Table k gives the effect of a byte
// followed by k zero bytes, so that eight bytes are taken in one step.
constexpr std::array<std::array<std::uint16_t, 256>, 8> kCrcTables = [] {
    std::array<std::array<std::uint16_t, 256>, 8> tables{};
    for (unsigned n = 0; n < 256; ++n) {
        std::uint16_t crc = static_cast<std::uint16_t>(n);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0x8408) : crc >> 1;
        tables[0][n] = crc;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (unsigned n = 0; n < 256; ++n) {
            const std::uint16_t before = tables[k - 1][n];
            tables[k][n] = static_cast<std::uint16_t>((before >> 8) ^ tables[0][before & 0xff]);
        }
    return tables;
}();

}  // namespace

std::uint16_t crc16_kermit(std::string_view data) {
    const auto& t = kCrcTables;
    std::uint16_t crc = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    std::size_t left = data.size();
    for (; left >= 8; left -= 8, p += 8) {
        const unsigned x = crc ^ (p[0] | (unsigned{p[1]} << 8));
        crc = static_cast<std::uint16_t>(t[7][x & 0xff] ^ t[6][x >> 8] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^
                                         t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]]);
    }
    for (; left > 0; --left, ++p) crc = static_cast<std::uint16_t>((crc >> 8) ^ t[0][(crc ^ *p) & 0xff]);
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
