#include "codegen/emitter.h"

#include "common/text_format.h"
#include "diagnostics/output_file.h"

#include <algorithm>
#include <cstdarg>

namespace zv {

namespace {

// The name of the context parameter that every generated function takes first.
constexpr std::string_view kContext = "kvr_ctx";

}  // namespace

// The room of the pending text as the formatter sees it: it may grow while a
// format is written, and the line's end follows what was written.
class Emitter::Room final : public FormatRoom {
public:
    explicit Room(Emitter& out) : out_(out) { place(); }
    ~Room() { out_.end_ = static_cast<std::size_t>(at - out_.pending_.data()); }
    Room(const Room&) = delete;
    Room& operator=(const Room&) = delete;
    void more(std::size_t count) override {
        out_.end_ = static_cast<std::size_t>(at - out_.pending_.data());
        out_.ensure(count);
        place();
    }

private:
    void place() {
        at = out_.pending_.data() + out_.end_;
        end = out_.pending_.data() + out_.pending_.size();
    }
    Emitter& out_;
};

Emitter& Emitter::appendf(const char* format, ...) {
    if (!line_open_) open_line();
    Room room(*this);
    va_list args;
    va_start(args, format);
    const bool done = vformat_simple_into(room, format, args);
    va_end(args);
    if (!done) {
        va_start(args, format);
        vformat_whole_into(room, format, args);
        va_end(args);
    }
    return *this;
}

// A piece for a file starts from one the writer is done with, which needs no
// clearing. A preview's string takes each line as it ends: its room stays small.
void Emitter::grow(std::size_t count) {
    if (pending_.empty() && !preview()) pending_ = OutputFile::spare();
    const std::size_t room = std::max(preview() ? std::size_t{256} : kPiece + 4096, 2 * (end_ + count + 8));
    if (pending_.size() < room) pending_.resize(room);
}

void Emitter::open_line() {
    line_indent_ = level_ > 0 ? static_cast<std::size_t>(level_) : 0;
    ensure(line_indent_);
    put_blanks(line_indent_);
    line_open_ = true;
}

void Emitter::close_line() {
    const std::size_t text_at = used_ + line_indent_;
    const std::size_t indent = indent_for(end_ > text_at ? pending_[text_at] : '\0');
    if (indent != line_indent_) {
        // The level changed, or the line is a directive: its text moves.
        const std::size_t length = end_ - text_at;
        ensure(indent);
        std::memmove(pending_.data() + used_ + indent, pending_.data() + text_at, length);
        std::memset(pending_.data() + used_, ' ', indent);
        end_ = used_ + indent + length;
    }
    ensure(1);
    pending_[end_++] = '\n';
    line_open_ = false;
    line_done();
}

void Emitter::hand_lines() {
    if (auto* text = std::get_if<std::string*>(&sink_)) {
        (*text)->append(pending_.data(), used_);
        used_ = end_ = 0;
    } else {
        flush();
    }
}

std::optional<std::string> Emitter::set_line_aside() {
    if (!line_open_) return std::nullopt;
    const std::size_t text_at = used_ + line_indent_;
    std::optional<std::string> line(std::in_place, pending_.data() + text_at, end_ - text_at);
    end_ = used_;
    line_open_ = false;
    return line;
}

void Emitter::take_line_back(std::optional<std::string>&& line) {
    if (!line) return;
    open_line();
    put(line->data(), line->size());
}

void Emitter::flush() {
    if (used_ == 0) return;
    std::optional<std::string> line = set_line_aside();
    std::string piece;
    if (std::holds_alternative<PieceSink*>(sink_) && used_ * 2 < pending_.size()) {
        // The end of a short unit: a copy of its size goes, the room stays.
        piece.assign(pending_.data(), used_);
    } else {
        pending_.resize(used_);
        piece = std::move(pending_);
        pending_ = std::string();
    }
    used_ = end_ = 0;
    hand(std::move(piece));
    take_line_back(std::move(line));
}

void Emitter::discard() {
    used_ = end_ = 0;
    line_open_ = false;
    params_.clear();
    level_ = 0;
}

void Emitter::pass(std::string&& piece) {
    std::optional<std::string> line = set_line_aside();
    // A short piece joins the pending text, so that the file gets pieces of
    // the usual size.
    if (piece.size() < kPiece / 4 && !preview()) {
        put(piece.data(), piece.size());
        used_ = end_;
        if (used_ >= kPiece) flush();
    } else {
        flush();
        hand(std::move(piece));
    }
    take_line_back(std::move(line));
}

void Emitter::hand(std::string&& piece) {
    if (auto* file = std::get_if<OutputFile*>(&sink_)) (*file)->write(std::move(piece));
    else if (auto* pieces = std::get_if<PieceSink*>(&sink_)) (*pieces)->take(std::move(piece));
    else **std::get_if<std::string*>(&sink_) += piece;
}

template <class... Parts>
void Emitter::write_whole_line(bool directive, Parts... parts) {
    const std::string_view texts[] = {std::string_view(parts)...};
    char lead = '\0';
    std::size_t length = 0;
    for (const std::string_view text : texts) {
        if (lead == '\0' && !text.empty()) lead = text.front();
        length += text.size();
    }
    const std::size_t indent = directive ? 0 : indent_for(lead);
    ensure(indent + length + 1);
    put_blanks(indent);
    char* place = pending_.data() + end_;
    for (const std::string_view text : texts) {
        if (text.empty()) continue;
        std::memcpy(place, text.data(), text.size());
        place += text.size();
    }
    *place++ = '\n';
    end_ = static_cast<std::size_t>(place - pending_.data());
    line_done();
}

template <class... Parts>
void Emitter::write_beside_line(bool directive, Parts... parts) {
    if (!line_open_) return write_whole_line(directive, parts...);
    std::optional<std::string> aside = set_line_aside();
    write_whole_line(directive, parts...);
    take_line_back(std::move(aside));
}

void Emitter::writeLine(bool directive, std::string_view line) { write_beside_line(directive, line); }

void Emitter::writeLine(bool directive, std::string_view head, std::string_view body, const char* tail) {
    write_beside_line(directive, head, body, tail);
}

void Emitter::emit_line() {
    if (!line_open_) open_line();
    close_line();
}

void Emitter::emit_line(std::string_view text) {
    if (!line_open_) {
        writeIndented(text);
        return;
    }
    put(text.data(), text.size());
    close_line();
}

void Emitter::open_block() {
    ++level_;
    writeIndented("{");
    ++level_;
}

void Emitter::close_block() {
    --level_;
    writeIndented("}");
    --level_;
}

void Emitter::emit_ifdef(std::string_view name) { writeLine(true, "#ifdef ", name, ""); }

void Emitter::emit_define(std::string_view name, std::string_view text) {
    std::string line = "#define ";
    line += name;
    line += ' ';
    line += text;
    writeDirective(line);
}

void Emitter::emit_undef(std::string_view name) { writeLine(true, "#undef ", name, ""); }

void Emitter::emit_else() { writeDirective("#else"); }

void Emitter::emit_endif() { writeDirective("#endif"); }

void Emitter::emit_return(std::string_view expr) { writeLine(false, "return ( ", expr, " );"); }

void Emitter::add_param(std::string_view type, std::string_view name) {
    params_.emplace_back(std::string(type), std::string(name));
}

void Emitter::emit_params() {
    append(" KVR_DP (( ");
    append(kContext);
    if (!params_.empty()) {
        append(", ");
        for (std::size_t i = 0; i < params_.size(); ++i) {
            if (i) append(",");
            append(params_[i].second);
        }
    }
    append(")) KVR_BP");
    emit_line();

    append("KVR_PT_CTX ");
    append(kContext);
    if (params_.empty()) {
        append(" KVR_EP");
        emit_line();
        return;
    }
    append(" KVR_SP");
    emit_line();
    for (std::size_t i = 0; i < params_.size(); ++i) {
        append(params_[i].first);
        append(" ");
        append(params_[i].second);
        append(" ");
        append(i + 1 < params_.size() ? "KVR_SP" : "KVR_EP");
        emit_line();
    }
    params_.clear();
}

}  // namespace zv
