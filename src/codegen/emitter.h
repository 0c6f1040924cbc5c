// The indented line writer behind every generated C text (the test driver, the
// probe header, the callback templates). Code lines are built in a growing line
// buffer and indented by the current level; preprocessor lines always start in
// column 1. Text goes to an OutputFile or, for tests and previews, to a string.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace zv {

class OutputFile;

// Takes the pieces of text an emitter is done with, in order.
class PieceSink {
public:
    virtual void take(std::string&& piece) = 0;

protected:
    ~PieceSink() = default;
};

class Emitter {
public:
    explicit Emitter(OutputFile& file) : sink_(&file) {}
    explicit Emitter(std::string& text) : sink_(&text) {}
    explicit Emitter(PieceSink& pieces) : sink_(&pieces) {}
    // Hands what is still held to the file.
    ~Emitter() { flush(); }
    Emitter(const Emitter&) = delete;
    Emitter& operator=(const Emitter&) = delete;

    // Text for a file is gathered in large pieces; this hands it over now
    // (before the file is closed).
    void flush();
    // Drops what is pending, the line buffer and the parameters, and goes
    // back to level 0 (after a failure, when the text is not wanted).
    void discard();
    // Hands over finished text (whole lines) after what is pending.
    void pass(std::string&& piece);

    // The line buffer. It has no length limit: a line is never cut.
    std::string& buffer() { return buffer_; }
    Emitter& append(std::string_view text) {
        buffer_ += text;
        return *this;
    }
    // printf-style append to the buffer, for the generators' fixed formats.
    Emitter& appendf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Writes the buffer as one line and empties it. A line that does not begin
    // with '#' is preceded by one blank per indentation level.
    void emit_line();
    // Appends `text` to the buffer, then writes the line.
    void emit_line(std::string_view text);

    // A block body stands two blanks deeper than the line that opened it and
    // its braces one blank deeper.
    void open_block();
    void close_block();

    // Preprocessor lines, written whole and unindented; the buffer is kept.
    void emit_ifdef(std::string_view name);
    void emit_define(std::string_view name, std::string_view text);
    void emit_undef(std::string_view name);
    void emit_else();
    void emit_endif();

    // The indented line "return ( expr );"; the buffer is kept.
    void emit_return(std::string_view expr);

    // Function heads in the portable form of the runtime's KVR_DP/KVR_BP/KVR_SP/
    // KVR_EP macros: the generator puts the start of the head in the buffer,
    // names the parameters after the context, then emit_params completes the
    // head, writes its lines and empties the pending list.
    void add_param(std::string_view type, std::string_view name);
    void emit_params();

    int level() const { return level_; }

private:
    // Room for `count` more bytes of text pending for the file.
    void grow(std::size_t count);
    void hand(std::string&& piece);
    // One line after `indent` blanks: to the string of a preview, or to the
    // pending text, handed to the file once it is large.
    void writeLine(std::string_view line, std::size_t indent);
    void writeIndented(std::string_view line);
    void writeDirective(std::string_view line);

    std::variant<OutputFile*, std::string*, PieceSink*> sink_;
    std::string pending_;  // text not yet handed to the file: its first used_ bytes
    std::size_t used_ = 0;
    std::string buffer_;
    int level_ = 0;
    std::vector<std::pair<std::string, std::string>> params_;  // type, name
};

}  // namespace zv
