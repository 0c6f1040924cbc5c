#include "codegen/emitter.h"

#include "diagnostics/output_file.h"

#include <cstdarg>
#include <cstdio>

namespace zv {

namespace {

// The name of the context parameter that every generated function takes first.
constexpr std::string_view kContext = "kvr_ctx";

}  // namespace

Emitter& Emitter::appendf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    // Most pieces fit a small buffer: formatted once.
    char piece[512];
    const int length = std::vsnprintf(piece, sizeof piece, format, args);
    va_end(args);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof piece) {
        buffer_.append(piece, static_cast<std::size_t>(length));
    } else if (length > 0) {
        const std::size_t start = buffer_.size();
        buffer_.resize(start + static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer_.data() + start, static_cast<std::size_t>(length) + 1, format, again);
        buffer_.resize(start + static_cast<std::size_t>(length));
    }
    va_end(again);
    return *this;
}

void Emitter::write(std::string_view text) {
    if (auto* file = std::get_if<OutputFile*>(&sink_)) {
        pending_.append(text);
        if (pending_.size() >= (std::size_t{1} << 16)) flush();
        (void)file;
    } else {
        std::get<std::string*>(sink_)->append(text);
    }
}

void Emitter::flush() {
    if (pending_.empty()) return;
    if (auto* file = std::get_if<OutputFile*>(&sink_)) (*file)->write(pending_);
    pending_.clear();
}

void Emitter::writeIndented(std::string_view line) {
    if (line.empty() || line.front() != '#') {
        // A level below zero is a generator fault; it must not reach the text.
        static constexpr std::string_view blanks = "                                ";
        for (std::size_t rest = level_ > 0 ? static_cast<std::size_t>(level_) : 0; rest > 0;) {
            const std::size_t n = rest < blanks.size() ? rest : blanks.size();
            write(blanks.substr(0, n));
            rest -= n;
        }
    }
    write(line);
    write("\n");
}

void Emitter::writeDirective(std::string_view line) {
    write(line);
    write("\n");
}

void Emitter::emit_line() {
    writeIndented(buffer_);
    buffer_.clear();
}

void Emitter::emit_line(std::string_view text) {
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
