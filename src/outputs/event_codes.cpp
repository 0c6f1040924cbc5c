#include "outputs/event_codes.h"

#include "common/large_stack.h"
#include "diagnostics/output_file.h"
#include "diagnostics/report.h"
#include "model/semantic_model.h"
#include "outputs/pass_work.h"
#include "outputs/quoted_field.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <unordered_set>

namespace zv {

namespace {

// A table line holds at most this many characters, its "\n" included.
constexpr std::size_t kLineLimit = 4095;

// The received message is shown under this name in field records.
constexpr std::string_view kReceivedMessage = "kvr_msgrcv";


// The table's text, written in place into a room that grows: its first
// `used` bytes are text. Pieces of it are handed over as it grows.
class TableText {
public:
    // Room for `count` more bytes.
    char* room(std::size_t count) {
        if (used_ + count > room_.size()) [[unlikely]]
            grow(count);
        return room_.data() + used_;
    }
    void put(char c) {
        *room(1) = c;
        ++used_;
    }
    void put(std::string_view s) {
        if (s.empty()) return;
        std::memcpy(room(s.size()), s.data(), s.size());
        used_ += s.size();
    }
    void put_number(long long value) {
        char* place = room(24);
        used_ += static_cast<std::size_t>(std::to_chars(place, place + 24, value).ptr - place);
    }
    std::size_t size() const { return used_; }
    // Hands the text over once it holds a piece's worth.
    void hand_over(const TextPieces& pieces) {
        if (!pieces || used_ < kTextPiece) return;
        pieces(take());
    }
    std::string take() {
        room_.resize(used_);
        used_ = 0;
        return std::exchange(room_, std::string());
    }

private:
    [[gnu::noinline]] void grow(std::size_t count) {
        room_.resize(std::max(2 * room_.size(), used_ + count + kTextPiece));
    }

    std::string room_;
    std::size_t used_ = 0;
};

// One table line being made at the end of the table's text; its length is
// checked once it is whole.
class RecordLine {
public:
    explicit RecordLine(TableText& table) : table_(table), start_(table.size()) {}
    void put(char c) { table_.put(c); }
    void put(std::string_view s) { table_.put(s); }
    void put_number(long long value) { table_.put_number(value); }
    void put_quoted_body(std::string_view s) {
        quoted_body(s, [this](std::string_view piece) { table_.put(piece); });
    }
    bool too_long() const { return table_.size() - start_ > kLineLimit; }

private:
    TableText& table_;
    std::size_t start_;
};

template <class T>
T* descriptor_of(const Entry* e, int code) {
    return e && e->descriptor && e->descriptor->code == code ? static_cast<T*>(e->descriptor) : nullptr;
}

// The path of a file as seen from the working directory.
std::string relative_path(const std::string& name, const std::string& cwd) {
    namespace fs = std::filesystem;
    const fs::path path(name);
    if (!path.is_absolute() || cwd.empty()) return name;
    return path.lexically_proximate(fs::path(cwd)).generic_string();
}

template <PassWork kWork>
class Pass {
    static constexpr bool kStore = kWork != PassWork::Texts;
    static constexpr bool kText = kWork != PassWork::Store;
    using Model = std::conditional_t<kStore, SemanticModel, const SemanticModel>;

public:
    Pass(const EventCodeSources& sources, Model& model, TextPieces pieces = {})
        : sources_(sources), model_(model), pieces_(std::move(pieces)) {}

    EventCodeTexts run() {
        if constexpr (kStore) {
            model_.generation_tag = sources_.date + " " + std::to_string(sources_.process_id);
            model_.probe_records.clear();
        }
        header_line();
        if (probe()) probe_opening();
        fixed_records();
        if (model_.root) list(model_.root);
        if (probe()) probe_closing();
        if constexpr (kStore) {
            model_.last_send_code = send_maximum_;
            model_.last_id_code = std::max(send_maximum_, receive_maximum_);
        }
        return {table_.take(), std::move(header_)};
    }

private:
    bool probe() const { return sources_.probe != ProbeMode::None; }

    // A code into the model, when this pass stores them.
    static void store(int& slot, int code) {
        if constexpr (kStore) slot = code;
    }

    // ------------------------------------------------------------- fields
    // (empty when this pass makes no text: the codes do not depend on them)

    // One field of a record, appended in place: as it stands, quoted, a
    // quoted number, or the quoted interval "[value..upper]".
    struct Field {
        enum Kind : unsigned char { Raw, Quoted, Number, Interval };
        Field() = default;
        Field(const char* raw) : text(raw) {}  // NOLINT: a literal field such as "?" stands as written
        Field(Kind k, std::string_view t, std::string_view u = {}, long long v = 0)
            : kind(k), text(t), upper(u), value(v) {}
        Kind kind = Raw;
        std::string_view text;
        std::string_view upper;
        long long value = 0;
    };

    static Field missing() { return "?"; }
    static Field text_field(std::string_view text) {
        if constexpr (kText) return {Field::Quoted, text};
        return {};
    }
    // A possibly missing string: "?" when absent.
    static Field field(const char* text) {
        if constexpr (kText) return text ? Field{Field::Quoted, text} : missing();
        return {};
    }
    static Field number(long long value) {
        if constexpr (kText) return {Field::Number, {}, {}, value};
        return {};
    }
    // A HEADER text stays as written when it already carries its quotes.
    static Field header_text(const char* text) {
        if constexpr (!kText) return {};
        if (!text) return missing();
        return {*text == '"' ? Field::Raw : Field::Quoted, text};
    }
    static Field interval(const char* value, const char* upper) {
        if constexpr (!kText) return {};
        return {Field::Interval, value ? value : "", upper ? upper : ""};
    }
    // A field of the fixed records, which are made as whole lines.
    static std::string quoted(std::string_view text) {
        if constexpr (kText) return quoted_field(text);
        return {};
    }

    static void put(RecordLine& line, const Field& f) {
        switch (f.kind) {
            case Field::Raw:
                return line.put(f.text);
            case Field::Quoted:
                line.put('"');
                line.put_quoted_body(f.text);
                return line.put('"');
            case Field::Number:
                line.put('"');
                line.put_number(f.value);
                return line.put('"');
            case Field::Interval:
                line.put("\"[");
                line.put_quoted_body(f.text);
                line.put("..");
                line.put_quoted_body(f.upper);
                return line.put("]\"");
        }
    }

    // ------------------------------------------------------------- lines

    void line(std::string text) {
        if constexpr (!kText) return;
        text += '\n';
        if (text.size() > kLineLimit) reportInternalText(Code::SIZBUFOVL);
        table_.put(text);
        table_.hand_over(pieces_);
    }

    // One record with the next code: tag and code, a blank, the fields, and
    // the entry's position unless `at` is null. Returns the code.
    int record(std::string_view tag, std::initializer_list<Field> fields, const Entry* at) {
        const int code = next_++;
        if constexpr (!kText) return code;
        RecordLine line(table_);
        line.put(tag);
        line.put_number(code);
        line.put(' ');
        bool first = true;
        for (const Field& f : fields) {
            if (!first) line.put(", ");
            put(line, f);
            first = false;
        }
        if (at) {
            if (!first) line.put(", ");
            put(line, number(at->file_index));
            line.put(", ");
            put(line, number(at->line));
        }
        line.put('\n');
        if (line.too_long()) reportInternalText(Code::SIZBUFOVL);
        table_.hand_over(pieces_);
        return code;
    }

    // ------------------------------------------------------------- probe header

    void define(const std::string& name, int value) {
        if constexpr (!kText) return;
        // A name defined again (one per scenario, per wait on the same pair)
        // is undefined first: the reader sees the last value, and no C
        // compiler warns of a redefinition.
        if (!defined_.insert(name).second) header_ += "#undef " + name + "\n";
        header_ += "#define " + name + " " + std::to_string(value) + "\n";
    }

    void probe_opening() {
        if constexpr (!kText) return;
        header_ += "#ifndef KVR_PROBE_H\n#define KVR_PROBE_H\n\n";
        header_ += "#define KVR_TDC_END_SEND 1\n#define KVR_TDC_END_RECV 2\n\n";
        header_ += "#define KVR_TDC_gen \"" + model_.generation_tag + "\"\n";
    }

    void probe_closing() {
        if constexpr (!kText) return;
        header_ += "#define KVR_TDC_LAST_SEND " + std::to_string(send_maximum_) + "\n";
        header_ += "#define KVR_TDC_LAST_ID " + std::to_string(std::max(send_maximum_, receive_maximum_)) + "\n";
        // Names that the probe decoder quotes for every script: a script
        // without composite scenarios, or a message type without value
        // definition, still compiles with 0 standing for "none".
        std::vector<std::string> fallbacks{"KVR_TDC_Sscn", "KVR_TDC_Spts", "KVR_TDC_Escn", "KVR_TDC_Epts"};
        for (const std::string& type : received_types_) fallbacks.push_back("KVR_TDC_DEFM_" + type);
        for (const std::string& name : fallbacks) {
            if (defined_.count(name)) continue;
            defined_.insert(name);
            header_ += "#define " + name + " 0\n";
        }
    }

    void raise_send(int code) { send_maximum_ = std::max(send_maximum_, code); }
    void raise_receive(int code) { receive_maximum_ = std::max(receive_maximum_, code); }

    // ------------------------------------------------------------- fixed part

    void header_line() {
        if constexpr (!kText) return;
        line("KORVA Kestrun " + quoted(sources_.version) + ", " + quoted("KVS_C") + ", " + quoted("TDC file") + ", " +
             quoted(model_.generation_tag));
    }

    std::string instance_list() {
        if constexpr (!kText) return {};
        switch (sources_.instance_mode) {
            case InstanceMode::NoInstances:
                return quoted("");
            case InstanceMode::SelectedDeclared:
                return quoted(sources_.instance);
            case InstanceMode::AllDeclared:
                if (!sources_.instance.empty()) break;
                [[fallthrough]];
            case InstanceMode::SelectedUndeclared: {
                std::string names;
                for (const Entry* e = model_.root ? model_.root->first : nullptr; e; e = e->next) {
                    if (e->kind != E_INSTANCE) continue;
                    if (!names.empty()) names += ", ";
                    names += e->name ? quoted(e->name) : "?";
                }
                return names.empty() ? quoted("") : names;
            }
        }
        reportText(Severity::Error, Code::BADPARAMS);
        return quoted("");
    }

    void fixed_records() {
        line("G" + std::to_string(next_++) + " " + quoted(sources_.echo));
        line("H" + std::to_string(next_++) + " " + quoted(sources_.date));
        line("F" + std::to_string(next_++) + " " + quoted(sources_.script_path));
        line("F" + std::to_string(next_++) + " " + quoted(std::to_string(static_cast<int>(sources_.trace))));
        line("IL" + std::to_string(next_++) + " " + instance_list());
        line("FB" + std::to_string(next_++) + " " + quoted(""));
        for (int i = 1; const ScriptFileRecord* f = file_with_index(sources_.files, i); ++i) {
            const std::string relative = kText ? relative_path(f->name, sources_.working_directory) : "";
            record("CF",
                   {text_field(f->base_name), text_field(relative), text_field(f->directory), number(f->length),
                    number(f->checksum)},
                   nullptr);
        }
    }

    // ------------------------------------------------------------- declaration list

    void list(Scope* scope) {
        for (Entry* e = scope ? scope->first : nullptr; e; e = e->next) {
            prefetch_next(e);
            entry(e);
        }
    }

    void entry(Entry* e) {
        Scope* body = e->descriptor ? e->descriptor->sub_scope : nullptr;
        switch (e->kind) {
            case E_PROGRAM: {
                const auto* d = descriptor_of<ProgramDescriptor>(e, D_PROGRAM);
                store(e->event_code, record("E",
                                            {header_text(e->name), header_text(d ? d->second : nullptr),
                                             header_text(d ? d->third : nullptr)},
                                            e));
                return;
            }
            case E_SCENARIO:
                return scenario(e, body);
            case E_PROCEDURE: {
                const auto* d = descriptor_of<ProcedureDescriptor>(e, D_PROCEDURE);
                if (!d || d->use_mark != 1) return;
                numbered_procedures_.insert(e);
                store(e->event_code, record("P", {field(e->name)}, e));
                list(body);
                store(e->end_code, record("P", {"?"}, e));
                return;
            }
            case E_CALL:
                return call(e, body);
            case E_COMMENT:
                store(e->event_code, record("C", {field(e->name)}, e));
                return;
            case E_WAIT:
                return wait(e, body);
            case E_INITIALIZATION:
            case E_TERMINATION:
            case E_EXCEPTION:
                return block(e, body);
            case E_ERROR:
                store(e->event_code, record("O", {text_field("ERROR")}, e));
                return;
            case E_NO_MESSAGE:
                store(e->event_code, record("O", {text_field("NOMSG")}, e));
                return;
            case E_MESSAGE_DATE:
                store(e->event_code, record("O", {text_field("MSGDATE")}, e));
                return;
            case E_ADD_ID:
                store(e->event_code, record("O", {text_field("ADD_ID")}, e));
                return;
            case E_EXIT:
                store(e->event_code, record("Q", {}, e));
                return;
            case E_SET:
            case E_UNSET: {
                const auto* d = descriptor_of<FilterLettersDescriptor>(e, D_FILTER_LETTERS);
                store(e->event_code, record(e->kind == E_SET ? "J" : "U", {field(d ? d->letters : e->name)}, e));
                return;
            }
            case E_RENDEZVOUS:
                store(e->event_code, record("N", {field(e->name)}, e));
                if (probe()) define("KVR_TDC_RDV_" + std::string(e->name ? e->name : ""), e->event_code);
                return;
            case E_MESSAGE_TYPE:
                return message_type(e, body);
            case E_CHANNEL:
                store(e->event_code, record("CN", {field(e->name)}, nullptr));
                if (probe()) define("KVR_TDC_CH_" + std::string(e->name ? e->name : ""), e->event_code);
                return;
            case E_PRINT: {
                const auto* d = descriptor_of<PrintDescriptor>(e, D_PRINT);
                store(e->event_code, record("M", {field(e->name), field(d ? d->expression : nullptr)}, e));
                return;
            }
            case E_SEND:
                return send(e);
            case E_FLUSH_TRACE:
                store(e->event_code, record("FT", {}, e));
                return;
            case E_TRACE_ON:
                store(e->event_code, record("TN", {}, e));
                return;
            case E_TRACE_OFF:
                store(e->event_code, record("TF", {}, e));
                return;
            case E_INTERSEND:
                store(e->event_code, record("ID", {"?"}, e));
                return;
            case E_INTERRECV:
                store(e->event_code, record("IC", {"?"}, e));
                return;
            case E_VALUE:
                return value(e, e->name ? e->name : "");
            case E_IF: {
                list(body);
                if (const auto* d = descriptor_of<IfDescriptor>(e, D_IF)) list(d->else_part);
                return;
            }
            case E_WHEN: {
                if (const auto* d = descriptor_of<WhenDescriptor>(e, D_WHEN)) list(d->instructions);
                return;
            }
            case E_WHILE:
            case E_CASE:
            case E_CALLBACK:
            case E_PROCSEND:
                return list(body);
            default:
                return;
        }
    }

    void scenario(Entry* e, Scope* body) {
        const auto* d = descriptor_of<ScenarioDescriptor>(e, D_SCENARIO);
        if (!d || !d->selected) return;
        std::string families, full_name;
        if constexpr (kText) {
            for (const Entry* f = d->families ? d->families->first : nullptr; f; f = f->next) {
                if (!families.empty()) families += ", ";
                families += f->name ? f->name : "";
            }
            full_name = scenario_full_name(*d);
        }
        store(e->event_code, record("S",
                                    {field(e->name), text_field(full_name), d->families ? text_field(families) : "?",
                                     d->loop_count > 0 ? number(d->loop_count) : "?"},
                                    e));
        if (probe()) define(d->leaf ? "KVR_TDC_Sscn" : "KVR_TDC_Spts", e->event_code);
        list(body);
        store(e->end_code, record("S", {field(e->name), "?", "?", "?"}, e));
        if (probe()) define(d->leaf ? "KVR_TDC_Escn" : "KVR_TDC_Epts", e->end_code);
    }

    void call(Entry* e, Scope* arguments) {
        const auto* d = descriptor_of<CallDescriptor>(e, D_CALL);
        store(e->event_code, record("A", {field(e->name), "?"}, e));
        for (Entry* a = arguments ? arguments->first : nullptr; a; a = a->next) {
            const auto* ad = descriptor_of<CallArgumentDescriptor>(a, D_CALL_ARGUMENT);
            if (!ad) continue;
            std::string last;
            if (kText && ad->by_address && ad->value) last = "&(" + std::string(ad->value) + ")";
            store(a->event_code, record("R",
                                        {field(ad->value), field(ad->expected), text_field("1"),
                                         last.empty() ? field(ad->receiving) : text_field(last)},
                                        e));
        }
        if (d && (d->expected_return || d->receiving))
            record("R", {"?", field(d->expected_return), text_field("0"), field(d->receiving)}, e);
        store(e->end_code, record("A", {"?", "?"}, e));
    }

    void wait(Entry* e, Scope* matches) {
        const auto* d = descriptor_of<WaitDescriptor>(e, D_WAIT);
        store(e->event_code, record("W", {field(d ? d->success_display : nullptr), field(d ? d->failure_display : nullptr)}, e));
        for (Entry* m = matches ? matches->first : nullptr; m; m = m->next) {
            const auto* md = descriptor_of<MatchDescriptor>(m, D_MATCH);
            store(m->event_code, record("Y", {field(md ? md->display : m->name)}, e));
        }
        if (d && d->connections) {
            for (const Entry* c = d->connections->first; c; c = c->next) {
                const auto* cd = descriptor_of<ConnectionDescriptor>(c, D_CONNECTION);
                if (!cd) continue;
                const char* type = message_type_of(cd->event);
                const char* channel = cd->channel ? cd->channel->name : nullptr;
                if (!type || !channel) continue;
                if constexpr (kStore) model_.probe_records.push_back({false, type, channel, e->event_code});
                if (!probe()) continue;
                define("KVR_TDC_RECV_" + std::string(type) + "_" + channel, e->event_code);
                raise_receive(e->event_code);
                note_received_type(type);
            }
        }
        store(e->end_code, record("W", {"?", "?"}, e));
    }

    void block(Entry* e, Scope* body) {
        const auto* d = descriptor_of<BlockDescriptor>(e, D_BLOCK);
        const char* type = e->kind == E_INITIALIZATION ? "0" : e->kind == E_TERMINATION ? "1" : "2";
        const Entry* procedure = d ? d->procedure : nullptr;
        // A procedure numbered further on in the walk is not quoted yet.
        const bool numbered = procedure && numbered_procedures_.count(procedure);
        store(e->event_code, record("Z", {text_field(type), numbered ? number(procedure->event_code) : "?"}, e));
        list(body);
        store(e->end_code, record("Z", {"?", "?"}, e));
    }

    void message_type(Entry* e, Scope* definitions) {
        const auto* d = descriptor_of<MessageTypeDescriptor>(e, D_MESSAGE_TYPE);
        if (!d || d->event_count == 0) return;
        const std::string name = e->name ? e->name : "";
        store(e->event_code, record("T", {text_field(name)}, e));
        if (probe()) define("KVR_TDC_EVT_" + name, e->event_code);
        if (d->defaults) value_roots(d->defaults);
        store(e->end_code, record("T", {"?"}, e));
        if (probe()) define("KVR_TDC_EEVT_" + name, e->end_code);
        for (Entry* v = definitions ? definitions->first : nullptr; v; v = v->next) {
            const auto* vd = descriptor_of<ExpectedValueDescriptor>(v, D_EXPECTED_VALUE);
            if (!vd) continue;
            store(v->event_code, record("V", {field(vd->event ? vd->event->name : v->name)}, v));
            if (probe()) define("KVR_TDC_DEFM_" + name, v->event_code);
            value_roots(v->descriptor->sub_scope);
        }
    }

    void send(Entry* e) {
        const auto* d = descriptor_of<SendDescriptor>(e, D_SEND);
        const char* type = message_type_of(d ? d->event : nullptr);
        const char* channel = d && d->channel ? d->channel->name : nullptr;
        store(e->event_code, record("SD", {field(type), field(channel)}, e));
        if (type && channel) {
            if constexpr (kStore) model_.probe_records.push_back({true, type, channel, e->event_code});
            if (probe()) {
                define("KVR_TDC_SEND_" + std::string(type) + "_" + channel, e->event_code);
                raise_send(e->event_code);
            }
        }
        store(e->end_code, record("SD", {"?", "?"}, e));
    }

    static const char* message_type_of(const Entry* event) {
        const auto* d = descriptor_of<EventVariableDescriptor>(event, D_EVENT_VARIABLE);
        return d && d->message_type ? d->message_type->name : nullptr;
    }

    void note_received_type(const char* type) {
        for (const std::string& t : received_types_)
            if (t == type) return;
        received_types_.emplace_back(type);
    }

    // ------------------------------------------------------------- values

    void value_roots(Scope* roots) {
        for (Entry* v = roots ? roots->first : nullptr; v; v = v->next)
            if (v->kind == E_VALUE) value(v, v->name ? v->name : "");
    }

    // A displayed variable: K records around its fields.
    void value(Entry* e, std::string_view name) {
        store(e->event_code, record("K", {text_field(name)}, e));
        std::string shown;
        if constexpr (kText) {
            shown = name == kReceivedMessage ? "msg" : name;
            path_ = shown;
        }
        elements(e->descriptor ? e->descriptor->sub_scope : nullptr, shown, e);
        store(e->end_code, record("K", {"?"}, e));
    }

    // `name` is the name that unnamed elements go by (the variable's, or the
    // enclosing array's); path_ holds the dotted field path of the enclosing
    // group, and each element adds its field while its records are made.
    void elements(Scope* scope, std::string_view name, const Entry* at) {
        for (Entry* el = scope ? scope->first : nullptr; el; el = el->next) {
            const auto* d = descriptor_of<ValueElementDescriptor>(el, D_VALUE_ELEMENT);
            if (!d) continue;
            std::string own;
            const std::size_t path_length = path_.size();
            if constexpr (kText) {
                own = d->field ? std::string_view(d->field) : name;
                if (d->field) {
                    path_ += '.';
                    path_ += d->field;
                }
            }
            Scope* children = el->descriptor->sub_scope;
            const bool group = d->kind == ElementKind::Structure || d->kind == ElementKind::Union ||
                               d->kind == ElementKind::Array;
            if (d->indexed) {
                // An index interval of an array: its contents between B records;
                // a scalar content is the I record right after the B start.
                store(el->event_code, record("B", {text_field(own), number(d->first), number(d->last)}, at));
                if (group) elements(children, own, at);
                else scalar(d, own, at);
                store(el->end_code, record("B", {"?", "?", "?"}, at));
            } else if (d->kind == ElementKind::Array) {
                store(el->event_code, record("L", {text_field(" ")}, at));
                elements(children, own, at);
                store(el->end_code, record("L", {"?"}, nullptr));
            } else if (group) {
                store(el->event_code, record("D", {text_field(path_)}, at));
                elements(children, own, at);
                store(el->end_code, record("D", {"?"}, at));
            } else {
                store(el->event_code, scalar(d, own, at));
            }
            if constexpr (kText) path_.resize(path_length);
        }
    }

    int scalar(const ValueElementDescriptor* d, std::string_view name, const Entry* at) {
        return record("I", {text_field(name), d->interval ? interval(d->value, d->upper) : field(d->value)}, at);
    }

    const EventCodeSources& sources_;
    Model& model_;
    TextPieces pieces_;
    TableText table_;
    std::string header_;
    std::string path_;  // the field path of the value element being written
    int next_ = 0;
    int send_maximum_ = 0;
    int receive_maximum_ = 0;
    std::unordered_set<std::string> defined_;
    std::unordered_set<const Entry*> numbered_procedures_;
    std::vector<std::string> received_types_;
};

}  // namespace

EventCodeTexts number_events(const EventCodeSources& sources, SemanticModel& model) {
    EventCodeTexts texts;
    // The walk follows the script's nesting.
    run_with_stack(kDeepWorkStack, [&] { texts = Pass<PassWork::Both>(sources, model).run(); });
    return texts;
}

void store_event_codes(const EventCodeSources& sources, SemanticModel& model) {
    run_with_stack(kDeepWorkStack, [&] { Pass<PassWork::Store>(sources, model).run(); });
}

EventCodeTexts event_code_texts(const EventCodeSources& sources, const SemanticModel& model,
                                const TextPieces& pieces) {
    EventCodeTexts texts;
    run_with_stack(kDeepWorkStack, [&] { texts = Pass<PassWork::Texts>(sources, model, pieces).run(); });
    return texts;
}

OutputFile* write_event_codes(const std::string& tdc_path, const std::string& header_path,
                              const EventCodeSources& sources, SemanticModel& model) {
    EventCodeTexts texts = number_events(sources, model);
    OutputFile& table = OutputFile::open(tdc_path);
    table.write(std::move(texts.table));
    table.close();
    if (sources.probe == ProbeMode::None) return nullptr;
    OutputFile& header = OutputFile::open(header_path);
    header.write(std::move(texts.probe_header));
    return &header;
}

}  // namespace zv
