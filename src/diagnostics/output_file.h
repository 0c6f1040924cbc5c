// Output files of a run (driver, TDC, report structure, scenario file, templates):
// text goes to a temporary file beside the target and every output of the run is
// renamed into place together when the run ends normally. A fatal or internal end
// removes the temporary files, so a previous consistent set is never half replaced.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

class OutputFile {
public:
    // Creates the temporary file for `path`; failure is the fatal FICERROPN.
    static OutputFile& open(const std::string& path);

    // Text is written in the order given, by a writer thread where a core is
    // free for it (the run waits for it when its outputs are committed or
    // discarded), or else by the caller.
    void write(std::string_view text);
    void write(std::string&& text);
    void write(const char* text) { write(std::string_view(text)); }
    void writeLine(std::string_view text);  // text and "\n"
    // A large piece of text already written, for the caller to overwrite and
    // hand back through write(); empty when there is none.
    static std::string spare();
    // printf-style convenience for generators.
    void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Ends writing; the file stays pending until the run commits or discards it.
    void close();

    const std::string& path() const { return path_; }
    const std::string& temporaryPath() const { return temporary_; }

    OutputFile(std::string path, std::string temporary, int descriptor);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

private:
    friend void commitPendingOutputs();
    friend void discardPendingOutputs();
    friend class OutputWriter;

    void shut();  // closes the descriptor, dropping text not written yet

    std::string path_;
    std::string temporary_;
    int descriptor_;        // the writer thread's once the file is open; -1 when closed
    bool open_ = true;      // not closed yet, as the generators see it
    bool failed_ = false;   // set by the writer thread; read once it is idle
    // Text handed over and not written yet (the writer thread's): the first
    // `held_from_` bytes of the first piece are written already.
    std::deque<std::string> held_;
    std::size_t held_from_ = 0;
    std::size_t held_bytes_ = 0;
    std::size_t written_ = 0;  // bytes in the file so far
};

// Renames every pending output into place (called by finishRun). A file that
// could not be written or renamed is the fatal FICERROPN with its path.
void commitPendingOutputs();
// Removes every pending temporary file (called on fatal and internal ends).
void discardPendingOutputs();
// Number of outputs opened and not yet committed or discarded.
std::size_t pendingOutputCount();
// Whether text is written by a thread of its own, whatever the cores (for
// tests of both ways; nothing: as the cores allow); taken up once what was
// handed over is written.
void setOutputWriterThread(std::optional<bool> wanted);

}  // namespace zv
