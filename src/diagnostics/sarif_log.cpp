#include "diagnostics/sarif_log.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace zv {

namespace {

// Length of the well-formed UTF-8 sequence that starts `bytes`, or 0. Overlong
// forms, surrogates and code points above U+10FFFF are not well formed.
std::size_t utf8Length(std::string_view bytes) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

bool unreservedInUri(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

// Relative file names are resolved against the directory the run started in.
constexpr std::string_view kBaseId = "CWD";

struct LogState {
    std::string path;
    std::string temporary;
    std::FILE* stream = nullptr;
    bool first = true;
    bool failed = false;
};

LogState& logState() {
    static LogState state;
    return state;
}

void write(LogState& state, std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), state.stream) != text.size()) state.failed = true;
}

}  // namespace

const char* sarifLevel(char letter) {
    switch (letter) {
        case 'W': return "warning";
        case 'I': return "note";
        default: return "error";  // E, F and S: the run found or met a fault
    }
}

void appendJsonString(std::string& out, std::string_view bytes) {
    out += '"';
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x80) {
            if (const std::size_t length = utf8Length(bytes.substr(i))) {
                out.append(bytes.substr(i, length));
                i += length;
            } else {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
                ++i;
            }
            continue;
        }
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char escaped[7];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
        }
        ++i;
    }
    out += '"';
}

std::string fileUri(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = !path.empty() && path.front() == '/' ? "file://" : "";
    for (const char byte : path) {
        const auto c = static_cast<unsigned char>(byte);
        if (unreservedInUri(c)) {
            uri += byte;
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0x0F];
        }
    }
    return uri;
}

std::string sarifHead(const SarifTool& tool, std::string_view workingDirectory) {
    std::string out =
        "{\n"
        "  \"$schema\": \"https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/sarif-schema-2.1.0.json\",\n"
        "  \"version\": \"2.1.0\",\n"
        "  \"runs\": [\n"
        "    {\n"
        "      \"tool\": {\"driver\": {\"name\": ";
    appendJsonString(out, tool.name);
    out += ", \"version\": ";
    appendJsonString(out, tool.version);
    out += ", \"fullName\": ";
    appendJsonString(out, tool.fullName);
    out += "}},\n";
    if (!workingDirectory.empty()) {
        std::string base = fileUri(workingDirectory);
        if (base.back() != '/') base += '/';
        out += "      \"originalUriBaseIds\": {";
        appendJsonString(out, kBaseId);
        out += ": {\"uri\": ";
        appendJsonString(out, base);
        out += "}},\n";
    }
    out += "      \"results\": [";
    return out;
}

std::string sarifResult(const SarifResult& result) {
    std::string out = "{\"ruleId\": ";
    appendJsonString(out, result.code);
    out += ", \"level\": ";
    appendJsonString(out, sarifLevel(result.letter));
    out += ", \"message\": {\"text\": ";
    appendJsonString(out, result.text);
    out += '}';
    if (!result.file.empty()) {
        const std::string uri = fileUri(result.file);
        out += ", \"locations\": [{\"physicalLocation\": {\"artifactLocation\": {\"uri\": ";
        appendJsonString(out, uri);
        if (!uri.starts_with("file://")) {
            out += ", \"uriBaseId\": ";
            appendJsonString(out, kBaseId);
        }
        out += '}';
        if (result.line > 0) out += ", \"region\": {\"startLine\": " + std::to_string(result.line) + '}';
        out += "}}]";
    }
    out += ", \"properties\": {\"severity\": ";
    appendJsonString(out, std::string_view(&result.letter, 1));
    out += "}}";
    return out;
}

std::string sarifTail(int exitStatus) {
    // Errors in the script are a completed run; fatal and internal ends are not.
    const bool completed = exitStatus == 0 || exitStatus == 3 || exitStatus == 5;
    return std::string("\n      ],\n") + "      \"invocations\": [{\"executionSuccessful\": " +
           (completed ? "true" : "false") + ", \"exitCode\": " + std::to_string(exitStatus) +
           "}]\n"
           "    }\n"
           "  ]\n"
           "}\n";
}

void startSarifLog(const std::string& path, const SarifTool& tool) {
    LogState& state = logState();
    if (path.empty() || state.stream) return;
    state.path = path;
    state.temporary = path + ".zvtmp" + std::to_string(static_cast<long>(::getpid()));
    state.stream = std::fopen(state.temporary.c_str(), "w");
    if (!state.stream) return;
    std::error_code error;
    const std::string directory = std::filesystem::current_path(error).string();
    write(state, sarifHead(tool, error ? std::string() : directory));
}

void recordSarifResult(const SarifResult& result) {
    LogState& state = logState();
    if (!state.stream) return;
    write(state, state.first ? "\n        " : ",\n        ");
    write(state, sarifResult(result));
    state.first = false;
}

void finishSarifLog(int exitStatus) {
    LogState& state = logState();
    if (!state.stream) return;
    write(state, sarifTail(exitStatus));
    if (std::fclose(state.stream) != 0) state.failed = true;
    state.stream = nullptr;
    if (state.failed || std::rename(state.temporary.c_str(), state.path.c_str()) != 0) {
        std::remove(state.temporary.c_str());
    }
}

}  // namespace zv
