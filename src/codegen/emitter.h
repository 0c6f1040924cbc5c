// The indented line writer behind every generated C text (the test driver, the
// probe header, the callback templates). Code lines are built in place, at the
// end of the text pending for the file, and indented by the current level;
// preprocessor lines always start in column 1. Text goes to an OutputFile or,
// for tests and previews, to a string.
#pragma once

#include <cstring>
#include <optional>
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
    // Drops what is pending, the line being built and the parameters, and
    // goes back to level 0 (after a failure, when the text is not wanted).
    void discard();
    // Hands over finished text (whole lines) after what is pending.
    void pass(std::string&& piece);

    // Appends to the line being built. A line has no length limit: it is
    // never cut.
    Emitter& append(std::string_view text) {
        if (!line_open_) open_line();
        put(text.data(), text.size());
        return *this;
    }
    // printf-style append to the line being built, for the generators' fixed
    // formats.
    Emitter& appendf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Ends the line being built (an empty one when none is). A line that does
    // not begin with '#' is preceded by one blank per indentation level.
    void emit_line();
    // Appends `text` to the line being built, then ends it.
    void emit_line(std::string_view text);

    // A block body stands two blanks deeper than the line that opened it and
    // its braces one blank deeper.
    void open_block();
    void close_block();

    // Preprocessor lines, written whole and unindented; a line being built is
    // kept.
    void emit_ifdef(std::string_view name);
    void emit_define(std::string_view name, std::string_view text);
    void emit_undef(std::string_view name);
    void emit_else();
    void emit_endif();

    // The indented line "return ( expr );"; a line being built is kept.
    void emit_return(std::string_view expr);

    // Function heads in the portable form of the runtime's KVR_DP/KVR_BP/KVR_SP/
    // KVR_EP macros: the generator puts the start of the head in the line,
    // names the parameters after the context, then emit_params completes the
    // head, writes its lines and empties the pending list.
    void add_param(std::string_view type, std::string_view name);
    void emit_params();

    int level() const { return level_; }

private:
    class Room;

    // Room for `count` more bytes after end_, and eight to spare: blanks go
    // in eight at a time.
    void ensure(std::size_t count) {
        if (end_ + count + 8 > pending_.size()) grow(count);
    }
    void grow(std::size_t count);
    void put(const char* text, std::size_t count) {
        if (count == 0) return;  // an empty view may hold no address at all
        ensure(count);
        std::memcpy(pending_.data() + end_, text, count);
        end_ += count;
    }
    // `count` blanks after end_, where ensure() made room for them.
    void put_blanks(std::size_t count) {
        char* place = pending_.data() + end_;
        for (std::size_t i = 0; i < count; i += 8) std::memcpy(place + i, "        ", 8);
        end_ += count;
    }
    // Starts the line being built after the blanks of the current level.
    void open_line();
    // The blanks a line written now stands after.
    std::size_t indent_for(char first) const {
        // A level below zero is a generator fault; it must not reach the text.
        return first != '#' && level_ > 0 ? static_cast<std::size_t>(level_) : 0;
    }
    // Ends the line being built: its blanks follow the level and its first
    // character as they are now.
    void close_line();
    // The text of the line being built, taken out of the pending text
    // (nothing when no line is being built), and put back after other text.
    std::optional<std::string> set_line_aside();
    void take_line_back(std::optional<std::string>&& line);
    void hand(std::string&& piece);
    // One whole line: the blanks of the current level unless `directive`, the
    // text and a line break. A line being built is set aside meanwhile. The
    // text comes whole, or as a head, a body and a literal tail.
    void writeLine(bool directive, std::string_view line);
    void writeLine(bool directive, std::string_view head, std::string_view body, const char* tail);
    template <class... Parts>
    void write_whole_line(bool directive, Parts... parts);
    template <class... Parts>
    void write_beside_line(bool directive, Parts... parts);
    // Whether the text goes to a string (a preview).
    bool preview() const { return std::holds_alternative<std::string*>(sink_); }
    void writeIndented(std::string_view line) { writeLine(false, line); }
    void writeDirective(std::string_view line) { writeLine(true, line); }
    // After a line break: a preview's string gets the text; a file's pending
    // text goes once it is large.
    void line_done() {
        used_ = end_;
        if (preview() || used_ >= kPiece) hand_lines();
    }
    void hand_lines();
    static constexpr std::size_t kPiece = std::size_t{1} << 16;

    std::variant<OutputFile*, std::string*, PieceSink*> sink_;
    // Text not yet handed over, in a room of pending_.size() bytes: whole
    // lines up to used_, then the line being built (its blanks first) up to
    // end_ while line_open_. Without a line being built, end_ is used_.
    std::string pending_;
    std::size_t used_ = 0;
    std::size_t end_ = 0;
    bool line_open_ = false;
    std::size_t line_indent_ = 0;  // blanks put before the line being built
    int level_ = 0;
    std::vector<std::pair<std::string, std::string>> params_;  // type, name
};

}  // namespace zv
