#include "codegen/emitter.h"

#include "common/text_format.h"
#include "diagnostics/output_file.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

namespace zv {

namespace {

// The name of the context parameter that every generated function takes first.
constexpr std::string_view kContext = "kvr_ctx";

}  // namespace

Emitter& Emitter::appendf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    append_vformat(buffer_, format, args);
    va_end(args);
    return *this;
}

namespace {
constexpr std::size_t kPiece = std::size_t{1} << 16;
}

// Eight bytes to spare after the room: blanks go in eight at a time. A piece
// for a file starts from one the writer is done with, which needs no clearing.
void Emitter::grow(std::size_t count) {
    if (pending_.empty() && !std::holds_alternative<std::string*>(sink_)) pending_ = OutputFile::spare();
    const std::size_t room = std::max(kPiece + 4096, 2 * (used_ + count + 8));
    if (pending_.size() < room) pending_.resize(room);
}

void Emitter::flush() {
    if (used_ == 0) return;
    if (std::holds_alternative<PieceSink*>(sink_) && used_ * 2 < pending_.size()) {
        // The end of a short unit: a copy of its size goes, the room stays.
        std::string piece(pending_.data(), used_);
        used_ = 0;
        hand(std::move(piece));
        return;
    }
    pending_.resize(used_);
    used_ = 0;
    std::string piece = std::move(pending_);
    pending_ = std::string();
    hand(std::move(piece));
}

void Emitter::discard() {
    used_ = 0;
    buffer_.clear();
    params_.clear();
    level_ = 0;
}

void Emitter::pass(std::string&& piece) {
    // A short piece joins the pending text, so that the file gets pieces of
    // the usual size.
    if (piece.size() < kPiece / 4 && !std::holds_alternative<std::string*>(sink_)) {
        if (used_ + piece.size() + 8 > pending_.size()) grow(piece.size());
        std::memcpy(pending_.data() + used_, piece.data(), piece.size());
        used_ += piece.size();
        if (used_ >= kPiece) flush();
        return;
    }
    flush();
    hand(std::move(piece));
}

void Emitter::hand(std::string&& piece) {
    if (auto* file = std::get_if<OutputFile*>(&sink_)) (*file)->write(std::move(piece));
    else if (auto* pieces = std::get_if<PieceSink*>(&sink_)) (*pieces)->take(std::move(piece));
    else **std::get_if<std::string*>(&sink_) += piece;
}

void Emitter::writeLine(std::string_view line, std::size_t indent) {
    if (auto* text = std::get_if<std::string*>(&sink_)) {
        (*text)->append(indent, ' ');
        **text += line;
        **text += '\n';
        return;
    }
    const std::size_t count = indent + line.size() + 1;
    if (used_ + count + 8 > pending_.size()) grow(count);
    char* place = pending_.data() + used_;
    used_ += count;
    for (std::size_t i = 0; i < indent; i += 8) std::memcpy(place + i, "        ", 8);
    std::memcpy(place + indent, line.data(), line.size());
    place[indent + line.size()] = '\n';
    if (used_ >= kPiece) flush();
}

void Emitter::writeIndented(std::string_view line) {
    // A level below zero is a generator fault; it must not reach the text.
    const bool indented = (line.empty() || line.front() != '#') && level_ > 0;
    writeLine(line, indented ? static_cast<std::size_t>(level_) : 0);
}

void Emitter::writeDirective(std::string_view line) { writeLine(line, 0); }

void Emitter::emit_line() {
    writeIndented(buffer_);
    buffer_.clear();
}

void Emitter::emit_line(std::string_view text) {
    if (buffer_.empty()) {
        writeIndented(text);
        return;
    }
    buffer_ += text;
    emit_line();
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

void Emitter::emit_ifdef(std::string_view name) {
    std::string line = "#ifdef ";
    line += name;
    writeDirective(line);
}

void Emitter::emit_define(std::string_view name, std::string_view text) {
    std::string line = "#define ";
    line += name;
    line += ' ';
    line += text;
    writeDirective(line);
}

void Emitter::emit_undef(std::string_view name) { writeDirective("#undef " + std::string(name)); }

void Emitter::emit_else() { writeDirective("#else"); }

void Emitter::emit_endif() { writeDirective("#endif"); }

void Emitter::emit_return(std::string_view expr) {
    std::string line = "return ( ";
    line += expr;
    line += " );";
    writeIndented(line);
}

void Emitter::add_param(std::string_view type, std::string_view name) {
    params_.emplace_back(std::string(type), std::string(name));
}

void Emitter::emit_params() {
    buffer_ += " KVR_DP (( ";
    buffer_ += kContext;
    if (!params_.empty()) {
        buffer_ += ", ";
        for (std::size_t i = 0; i < params_.size(); ++i) {
            if (i) buffer_ += ',';
            buffer_ += params_[i].second;
        }
    }
    buffer_ += ")) KVR_BP";
    emit_line();

    buffer_ += "KVR_PT_CTX ";
    buffer_ += kContext;
    if (params_.empty()) {
        buffer_ += " KVR_EP";
        emit_line();
        return;
    }
    buffer_ += " KVR_SP";
    emit_line();
    for (std::size_t i = 0; i < params_.size(); ++i) {
        buffer_ += params_[i].first;
        buffer_ += ' ';
        buffer_ += params_[i].second;
        buffer_ += ' ';
        buffer_ += i + 1 < params_.size() ? "KVR_SP" : "KVR_EP";
        emit_line();
    }
    params_.clear();
}

}  // namespace zv
