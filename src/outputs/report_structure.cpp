#include "outputs/report_structure.h"

#include "common/generation_stamp.h"
#include "diagnostics/output_file.h"
#include "diagnostics/report.h"
#include "model/semantic_model.h"
#include "outputs/pass_work.h"
#include "outputs/quoted_field.h"

#include <QCoreApplication>
#include <QString>

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

namespace zv {

namespace {

// A line holds at most this many characters, its "\n" included.
constexpr std::size_t kLineLimit = 4095;

constexpr int kScenarioBegin = 390;
constexpr int kScenarioEnd = 393;
constexpr int kWaitText = 433;
constexpr int kWaitMessage = 380;
constexpr int kSendMessage = 383;
constexpr int kRendezvous = 310;

QString tsfText(const char* text) { return QCoreApplication::translate("TsfGen context", text); }

// UTF-8 text in double quotes, every double quote doubled.
std::string quotedUtf8(const QString& text) { return quoted_field(text.toUtf8().toStdString()); }

// A model text (local 8-bit) quoted, or ? for a missing one.
std::string quoted(const char* text) {
    if (!text) return "?";
    // Plain ASCII reads the same in every local 8-bit encoding and in UTF-8.
    const std::string_view view(text);
    if (std::all_of(view.begin(), view.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return quoted_field(view);
    return quotedUtf8(QString::fromLocal8Bit(text));
}

template <class T>
const T* descriptorOf(const Entry* e, int code) {
    return e->descriptor && e->descriptor->code == code ? static_cast<const T*>(e->descriptor) : nullptr;
}

template <PassWork kWork>
class Writer {
    static constexpr bool kStore = kWork != PassWork::Texts;
    static constexpr bool kText = kWork != PassWork::Store;

public:
    Writer(const std::string& date, long process_id, TextPieces pieces)
        : date_sum_(date_character_sum(date)), process_id_(process_id), pieces_(std::move(pieces)) {}

    void fileHeader() {
        if constexpr (!kText) return;
        line("DB \"Kestrun-Tracer\"");
        line("ID 1 1");
        line(QStringLiteral("IN \"Sut\" 1 \"%1\"").arg(tsfText("System under test")).toUtf8().toStdString());
        line("ED");
    }

    void fileBlock(const ScriptFileRecord& file, Scope* root) {
        next_ = 3;
        if constexpr (kText) {
            line("DB \"Kestrun-Tracer\"");
            line("ID " + std::to_string(file.identity_key) + " " +
                 std::to_string(static_cast<long>(file.checksum) + process_id_ + date_sum_));
            line("SO " + quoted_field(file.directory + "/" + file.base_name) + " 0000 \"txt\"");
            line("IN \"File\" 1 " + quoted_field(file.base_name));
            line("SI 1");
            line("IN \"VirtualTester\" 2 " + quotedUtf8(tsfText("default tester")));
        }
        elements(root, file.name);
        line("ED");
    }

    std::string take() { return std::move(out_); }

private:
    // A record number into the model, when this pass stores them.
    static void store(int& slot, int number) {
        if constexpr (kStore) slot = number;
    }
    // A model text quoted (empty when this pass makes no text).
    static std::string text(const char* model_text) {
        if constexpr (kText) return quoted(model_text);
        return {};
    }

    void line(std::string_view text) {
        if constexpr (!kText) return;
        out_ += text;
        end_line(out_.size() - text.size());
    }
    // Ends the line begun at `start` of the text.
    void end_line(std::size_t start) {
        out_ += '\n';
        if (out_.size() - start > kLineLimit) reportInternalText(Code::SIZBUFOVL);
        hand_over_piece(out_, pieces_, kLineLimit);
    }
    void append_number(long value) {
        char digits[24];
        out_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    }
    void record(const char* tag, long value) {
        if constexpr (!kText) return;
        const std::size_t start = out_.size();
        out_ += tag;
        out_ += ' ';
        append_number(value);
        end_line(start);
    }
    // A TX or MS record with the next id; returns the id.
    int element(const char* tag, const std::string& quoted_text) {
        const int id = next_++;
        if constexpr (!kText) return id;
        const std::size_t start = out_.size();
        out_ += tag;
        out_ += ' ';
        append_number(id);
        out_ += ' ';
        out_ += quoted_text;
        end_line(start);
        return id;
    }

    // Walks the entry lists in order, each nested list where its entry
    // stands; nesting follows the script's, so the cursors are kept on a
    // stack of our own rather than the thread's.
    void elements(Scope* root, const std::string& file) {
        std::vector<Entry*> cursors{root ? root->first : nullptr};
        // Entries come in runs that share their file's name: it is compared
        // once per run.
        const char* last_file = nullptr;
        bool last_mine = false;
        while (!cursors.empty()) {
            Entry* e = cursors.back();
            if (!e) {
                cursors.pop_back();
                continue;
            }
            cursors.back() = e->next;
            prefetch_next(e);
            if (e->file && e->file != last_file) {
                last_file = e->file;
                last_mine = file == e->file;
            }
            if (Scope* nested = entry(e, e->file && last_mine)) cursors.push_back(nested->first);
        }
    }

    // Writes the records of one entry; returns the nested list to walk next.
    Scope* entry(Entry* e, bool mine) {
        Scope* body = e->descriptor ? e->descriptor->sub_scope : nullptr;
        switch (e->kind) {
            case E_SCENARIO:
                if (mine && e->name && *e->name) {
                    const auto* d = descriptorOf<ScenarioDescriptor>(e, D_SCENARIO);
                    record("ST", kScenarioBegin);
                    record("LK", e->line);
                    store(e->report_number, element("TX", text(e->name)));
                    record("ST", kScenarioEnd);
                    record("LK", d ? d->end_line : 0);
                    element("TX", text(e->name));
                }
                return body;
            case E_PROCEDURE: {
                const auto* d = descriptorOf<ProcedureDescriptor>(e, D_PROCEDURE);
                return d && d->use_mark == 1 ? body : nullptr;
            }
            case E_WHILE:
                return body;
            case E_INITIALIZATION:
            case E_TERMINATION:
            case E_EXCEPTION:
                if (mine) block(e);
                return body;
            case E_WAIT:
                if (mine) {
                    record("ST", kWaitText);
                    record("LK", e->line);
                    element("TX", text("WAITTIL"));
                    record("ST", kWaitMessage);
                    record("LK", e->line);
                    store(e->report_number, element("MS", text("...")));
                    record("ST", kWaitText);
                    record("LK", e->line);
                    element("TX", kText ? quotedUtf8(tsfText("END %1").arg(QStringLiteral("WAITTIL"))) : "");
                }
                return nullptr;
            case E_RENDEZVOUS:
                if (mine) {
                    record("ST", kRendezvous);
                    record("LK", e->line);
                    store(e->report_number, element("TX", text(e->name)));
                }
                return nullptr;
            case E_SEND:
                if (mine) {
                    const auto* d = descriptorOf<SendDescriptor>(e, D_SEND);
                    const Entry* event = d ? d->event : nullptr;
                    record("ST", kSendMessage);
                    record("LK", e->line);
                    store(e->report_number, element("MS", text(event ? event->name : e->name)));
                }
                return nullptr;
            case E_INTERSEND:
            case E_INTERRECV:
                if (mine) {
                    record("ST", kSendMessage);
                    record("LK", e->line);
                    store(e->report_number, element("MS", text("...")));
                }
                return nullptr;
            case E_INSTANCE:
                line("SI 1");
                if constexpr (kText) line("IN \"VirtualTester\" " + std::to_string(next_) + " " + quoted(e->name));
                ++next_;
                return nullptr;
            default:
                return nullptr;
        }
    }

    void block(Entry* e) {
        const int code = e->kind == E_INITIALIZATION ? 400 : e->kind == E_TERMINATION ? 410 : 420;
        const char* keyword = e->kind == E_INITIALIZATION ? "INITIALIZATION"
                              : e->kind == E_TERMINATION  ? "TERMINATION"
                                                          : "EXCEPTION";
        const auto* d = descriptorOf<BlockDescriptor>(e, D_BLOCK);
        record("ST", code);
        record("LK", e->line);
        store(e->report_number, element("TX", text(keyword)));
        record("ST", code);
        record("LK", d ? d->line : e->line);
        element("TX", text(keyword));
    }

    std::string out_;
    long date_sum_;
    long process_id_;
    TextPieces pieces_;
    int next_ = 3;
};

}  // namespace

namespace {

template <PassWork kWork>
std::string report_structure(const std::vector<ScriptFileRecord>& files, Scope* root, const std::string& date,
                             long process_id, const TextPieces& pieces = {}) {
    Writer<kWork> writer(date, process_id, pieces);
    writer.fileHeader();
    for (int i = 1; const ScriptFileRecord* file = file_with_index(files, i); ++i) writer.fileBlock(*file, root);
    return writer.take();
}

}  // namespace

std::string format_report_structure(const std::vector<ScriptFileRecord>& files, Scope* root,
                                    const std::string& date, long process_id) {
    return report_structure<PassWork::Both>(files, root, date, process_id);
}

void store_report_numbers(const std::vector<ScriptFileRecord>& files, Scope* root) {
    report_structure<PassWork::Store>(files, root, "", 0);
}

std::string report_structure_text(const std::vector<ScriptFileRecord>& files, const Scope* root,
                                  const std::string& date, long process_id, const TextPieces& pieces) {
    // The text pass writes nothing into the entries.
    return report_structure<PassWork::Texts>(files, const_cast<Scope*>(root), date, process_id, pieces);
}

void write_report_structure(const std::string& path, const std::vector<ScriptFileRecord>& files,
                            const std::string& /*instance*/, InstanceMode /*mode*/, SemanticModel& model,
                            const std::string& date) {
    OutputFile& out = OutputFile::open(path);
    out.write(format_report_structure(files, model.root, date, generation_process_id()));
    out.close();
}

}  // namespace zv
