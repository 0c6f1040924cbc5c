#include "script/lexer.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "diagnostics/report.h"

#include <cstdio>

namespace zv {

bool ScriptLexer::load(const std::string& path, std::string& content) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream) return false;
    content.clear();
    char block[65536];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, stream)) > 0) content.append(block, got);
    const bool failed = std::ferror(stream) != 0;
    std::fclose(stream);
    return !failed;
}

bool ScriptLexer::open_main(const std::string& path) {
    std::string content;
    if (!load(path, content)) return false;
    push_file(path, std::move(content));
    return true;
}

void ScriptLexer::open_include(const std::string& quoted_name) {
    const std::string name =
        quoted_name.size() >= 2 ? quoted_name.substr(1, quoted_name.size() - 2) : std::string();
    const Position here = position();
    std::string path = name;
    std::string content;
    bool opened = load(path, content);
    for (std::size_t i = 0; !opened && i < include_dirs_.size(); ++i) {
        path = include_dirs_[i] + "/" + name;
        opened = load(path, content);
    }
    if (!opened) reportAtText(Severity::Fatal, Code::CANNOTOPN, name.c_str(), here.file, here.line);
    for (const OpenFile& file : files_) {
        if (path == file.name) reportAtText(Severity::Fatal, Code::INCLOOPDT, "", here.file, here.line);
    }
    push_file(path, std::move(content));
}

std::size_t ScriptLexer::read_input(char* buf, std::size_t max_size, std::size_t pending) {
    check_length(pending, nullptr);
    if (files_.empty() || max_size == 0) return 0;
    OpenFile& file = files_.back();
    const std::string& data = file.content;
    // A line break followed by "&" joins the next line to this one; the
    // character after the "&" carries the line break for line counting.
    while (file.pos < data.size() && data[file.pos] == '\n' && !include_name_mode_ &&
           file.pos + 1 < data.size() && data[file.pos + 1] == '&') {
        file.pos += 2;
        file.joins.push_back(file.delivered);
    }
    if (file.pos >= data.size()) {
        last_read_end_ = true;
        return 0;
    }
    last_read_end_ = false;
    std::size_t count = 0;
    if (data[file.pos] == '\n') {
        // Delivered alone: whether the next line continues this one is decided
        // only when the scanner asks for the character after it.
        buf[count++] = '\n';
        ++file.pos;
    } else {
        const std::size_t line_end = std::min(data.find('\n', file.pos), data.size());
        count = std::min(max_size, line_end - file.pos);
        std::memcpy(buf, data.data() + file.pos, count);
        file.pos += count;
    }
    if (!include_name_mode_ && count < max_size) count = read_more_lines(file, buf, count, max_size, pending);
    file.delivered += count;
    return count;
}

// Only INCLUDE changes how a line break is read (no joining while its file
// name is read). While none is near, the lines that follow go to the scanner
// at once, their joins decided now: they would be decided the same way if the
// scanner asked for each character after a line break in turn, and the
// scanner does far less work per read than per line.
std::size_t ScriptLexer::read_more_lines(OpenFile& file, char* buf, std::size_t count, std::size_t max_size,
                                         std::size_t pending) {
    const std::string& data = file.content;
    const std::size_t first_count = count, first_pos = file.pos, first_joins = file.joins.size();
    while (file.pos < data.size() && count < max_size) {
        // Where the text not matched yet could have grown too long, a read
        // ends, as it does after every line, so that the length is checked
        // at the same line break.
        if (gather_.size() + pending + count > kMaxTokenText) break;
        if (data[file.pos] == '\n') {
            if (file.pos + 1 < data.size() && data[file.pos + 1] == '&') {
                file.joins.push_back(file.delivered + count);
                file.pos += 2;
                continue;
            }
            buf[count++] = '\n';
            ++file.pos;
            continue;
        }
        const char* start = data.data() + file.pos;
        const void* end = std::memchr(start, '\n', data.size() - file.pos);
        const std::size_t length = end ? static_cast<std::size_t>(static_cast<const char*>(end) - start)
                                       : data.size() - file.pos;
        if (length > max_size - count) break;  // read whole by the next read
        std::memcpy(buf + count, start, length);
        count += length;
        file.pos += length;
    }
    if (file.pos == first_pos) return count;
    // An INCLUDE in what the scanner has not matched yet (kept at the start of
    // its buffer, before `buf`) or in what goes now takes the extra lines
    // back: they are read one at a time after it.
    static constexpr std::string_view kInclude = "INCLUDE";
    if (memmem(buf - pending, pending + count, kInclude.data(), kInclude.size())) {
        file.pos = first_pos;
        file.joins.resize(first_joins);
        return first_count;
    }
    return count;
}

void ScriptLexer::mark_match() {
    if (files_.empty()) return;
    const OpenFile& file = files_.back();
    match_start_ = {file.name, file.logical_line, file.index};
}

namespace {

// Most tokens are a few characters long: a plain loop over them costs less
// than a call.
bool has_line_break(const char* text, std::size_t length) {
    if (length > 32) return std::memchr(text, '\n', length) != nullptr;
    for (std::size_t i = 0; i < length; ++i)
        if (text[i] == '\n') return true;
    return false;
}

}  // namespace

// A joined line break counts when the character after it is consumed; a line
// break read as such also begins a new logical line.
void ScriptLexer::consume(const char* text, std::size_t length) {
    if (files_.empty()) return;
    OpenFile& file = files_.back();
    file.logical_before = file.logical_line;
    // The usual token: no joined line break ahead of it, none inside it.
    if ((file.next_join >= file.joins.size() || file.joins[file.next_join] >= file.consumed + length) &&
        !has_line_break(text, length)) {
        file.consumed += length;
        return;
    }
    for (std::size_t i = 0; i < length; ++i) {
        const std::size_t offset = file.consumed + i;
        while (file.next_join < file.joins.size() && file.joins[file.next_join] <= offset) {
            ++file.line;
            ++file.next_join;
        }
        if (text[i] == '\n') {
            ++file.line;
            file.logical_line = file.line;
        }
    }
    file.consumed += length;
}

// Characters given back by a rule are read again: their own line breaks are
// uncounted so that they count once, but a joined line break in front of them
// was read for good and keeps its count. Only the match just consumed is
// given back, so a line break in it restores the logical line it began on.
void ScriptLexer::unconsume(const char* text, std::size_t length) {
    if (files_.empty()) return;
    OpenFile& file = files_.back();
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '\n') {
            --file.line;
            file.logical_line = file.logical_before;
        }
    }
    file.consumed -= length;
}

void ScriptLexer::check_length(std::size_t length, const char* text) {
    if (gather_.size() + length <= kMaxTokenText) return;
    std::string so_far = gather_;
    if (text) so_far.append(text, length);
    if (so_far.size() > kMaxTokenText + 1) so_far.resize(kMaxTokenText + 1);
    const Position here = position();
    reportAtText(Severity::Fatal, Code::LEXTKTLNG, so_far.c_str(), here.file, here.line);
}

Position ScriptLexer::position() const {
    if (files_.empty()) return {};
    const OpenFile& file = files_.back();
    return {file.name, file.line, file.index};
}

int ScriptLexer::current_line() const { return files_.empty() ? 0 : files_.back().line; }

std::vector<ScriptFileRecord> ScriptLexer::take_files() {
    std::vector<ScriptFileRecord> out(std::make_move_iterator(records_.rbegin()),
                                      std::make_move_iterator(records_.rend()));
    records_.clear();
    return out;
}

}  // namespace zv
