#include "codegen/emitter.h"

#include "common/text_format.h"
#include "diagnostics/output_file.h"

#include <cstdarg>

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

std::string& Emitter::target() {
    if (auto* text = std::get_if<std::string*>(&sink_)) return **text;
    return pending_;
}

namespace {
constexpr std::size_t kPiece = std::size_t{1} << 16;
}

void Emitter::written() {
    if (pending_.size() >= kPiece) flush();
}

void Emitter::flush() {
    if (pending_.empty()) return;
    if (auto* file = std::get_if<OutputFile*>(&sink_)) {
        (*file)->write(std::move(pending_));
        pending_ = std::string();
        pending_.reserve(kPiece + 4096);
    }
    pending_.clear();
}

void Emitter::writeIndented(std::string_view line) {
    std::string& out = target();
    // A level below zero is a generator fault; it must not reach the text.
    if ((line.empty() || line.front() != '#') && level_ > 0) out.append(static_cast<std::size_t>(level_), ' ');
    out.append(line);
    out += '\n';
    written();
}

void Emitter::writeDirective(std::string_view line) {
    std::string& out = target();
    out.append(line);
    out += '\n';
    written();
}

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

void Emitter::emit_ifdef(std::string_view name) { writeDirective("#ifdef " + std::string(name)); }

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
