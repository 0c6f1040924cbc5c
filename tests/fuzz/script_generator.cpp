#include "script_generator.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

namespace zv::fuzz {
namespace {

// splitmix64: the same numbers everywhere, which the standard distributions
// do not promise.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T>
    const T& pick(const std::vector<T>& items) { return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))]; }

private:
    std::uint64_t state_;
};

// The C types of the generated header, as far as values need them.
struct CType {
    enum Kind { Int, Long, Double, Enum, CharArray, CharPointer, Pointer, Struct, Union, Array };
    Kind kind = Int;
    std::string name;  // how a declaration spells it
    std::vector<std::pair<std::string, const CType*>> fields;
    const CType* element = nullptr;
    int size = 0;
};

struct Procedure {
    std::string name;
    std::vector<const CType*> parameters;
};

struct Variable {
    std::string name;
    const CType* type;
};

enum class Owner { Scenario, Procedure, Callback, Procsend, Block };

class Generator {
public:
    explicit Generator(std::uint64_t seed) : random_(seed) {}
    GeneratedScript run();

private:
    // ---- header and declarations
    void make_types();
    std::string header_text() const;
    void declarations();
    void comm_declarations();
    void procedures(int count);
    void callbacks_and_procsends();
    // ---- scenarios
    void scenario_items(int depth);
    void scenario(int depth);
    void special_block(const char* keyword);
    // ---- statements
    // `top`: the body itself, where native lines may stand; `instance`:
    // directly inside an INSTANCE block, which does not nest.
    void body(Owner owner, int depth, int count, bool top = false, bool instance = false);
    void statement(Owner owner, int depth, bool top);
    void structured(Owner owner, int depth);
    void call();
    void communication(Owner owner);
    void waittil();
    void var();
    // ---- pieces
    std::string value(const CType* type, int depth, bool expected);
    std::string aggregate(const CType* type, int depth, bool expected);
    // Arguments are C expressions: no aggregates.
    std::string argument(const CType* type) { return type == pos_ ? "where_p" : value(type, 0, false); }
    std::string condition();
    std::string matching_operator();
    std::string int_expression();
    std::string event() { return events_.empty() ? "ev_none" : random_.pick(events_).name; }
    std::string channel() { return channels_.empty() ? "ch_none" : random_.pick(channels_).name; }
    // Mostly a channel whose communication type has a callback (or procsend)
    // for the message type.
    std::string channel_for(const CType* type, const std::set<std::pair<const CType*, int>>& pairs);
    std::string message_type() { return message_types_.empty() ? "M_none" : random_.pick(message_types_)->name; }
    std::string maybe_unknown(const std::string& name) { return random_.chance(3) ? "zz_" + name : name; }
    void line(std::string text) { lines_.push_back(std::move(text)); }
    void mutate();

    Random random_;
    std::deque<CType> types_;
    const CType* int_ = nullptr;
    const CType* long_ = nullptr;
    const CType* double_ = nullptr;
    const CType* colour_ = nullptr;
    const CType* pos_ = nullptr;
    std::vector<const CType*> message_types_;
    std::vector<Variable> variables_;  // typed C variables of the script
    std::vector<Variable> events_;
    struct Channel {
        std::string name;
        int comm;
    };
    std::vector<Channel> channels_;
    std::set<std::pair<const CType*, int>> callbacks_, procsends_;  // (message type, communication type)
    std::vector<std::string> comm_types_;
    std::vector<bool> multiplexing_;  // of each communication type
    std::vector<Procedure> procedures_;
    std::vector<std::string> instances_;
    bool trigger_style_ = false;
    int names_ = 0;
    std::vector<std::string> lines_;
};

// ---------------------------------------------------------------- header

void Generator::make_types() {
    auto add = [this](CType type) { return &types_.emplace_back(std::move(type)); };
    int_ = add({CType::Int, "int", {}, nullptr, 0});
    long_ = add({CType::Long, "long", {}, nullptr, 0});
    double_ = add({CType::Double, "double", {}, nullptr, 0});
    colour_ = add({CType::Enum, "colour_t", {}, nullptr, 0});
    pos_ = add({CType::Struct, "F_pos", {{"x", int_}, {"y", int_}}, nullptr, 0});
    const CType* name8 = add({CType::CharArray, "char", {}, nullptr, 8});
    const CType* text = add({CType::CharPointer, "char *", {}, nullptr, 0});
    const CType* tab4 = add({CType::Array, "int", {}, int_, 4});
    const CType* pos2 = add({CType::Array, "F_pos", {}, pos_, 2});
    const CType* number = add({CType::Union, "union { int i; double d; }", {{"i", int_}, {"d", double_}}, nullptr, 0});
    const std::vector<std::pair<std::string, const CType*>> choices = {
        {"code", int_}, {"count", long_}, {"ratio", double_}, {"colour", colour_}, {"name", name8},
        {"text", text}, {"pos", pos_}, {"tab", tab4}, {"path", pos2}, {"u", number}};
    const int count = random_.between(1, 3);
    for (int t = 0; t < count; ++t) {
        CType message{CType::Struct, "M" + std::to_string(t), {}, nullptr, 0};
        message.fields.push_back({"id", int_});
        const int fields = random_.between(1, 4);
        for (int f = 0; f < fields; ++f) {
            const auto& [name, type] = random_.pick(choices);
            bool taken = false;
            for (const auto& field : message.fields) taken = taken || field.first == name;
            if (!taken) message.fields.push_back({name, type});
        }
        message_types_.push_back(add(std::move(message)));
    }
}

std::string declaration_of(const std::string& name, const CType* type) {
    switch (type->kind) {
        case CType::CharArray: return "char " + name + "[" + std::to_string(type->size) + "]";
        case CType::Array: return type->element->name + " " + name + "[" + std::to_string(type->size) + "]";
        default: return type->name + " " + name;
    }
}

std::string Generator::header_text() const {
    std::string h = "/* generated interface */\n"
                    "typedef int conn_t;\n"
                    "typedef enum { RED, GREEN, BLUE } colour_t;\n"
                    "typedef struct { int x; int y; } F_pos;\n";
    for (const CType* message : message_types_) {
        h += "typedef struct {";
        for (const auto& [name, type] : message->fields) h += " " + declaration_of(name, type) + ";";
        h += " } " + message->name + ";\n";
    }
    h += "int f_get(int a, char *s);\n"
         "void f_put(int *out, long n);\n"
         "int f_report(const char *fmt, ...);\n"
         "int f_none(void);\n"
         "int f_legacy();\n"
         "F_pos f_where(void);\n"
         "double f_ratio(M0 *m, int n);\n"
         "#define TWICE(a, b) ((a) + (b))\n"
         "#define LIMIT 10\n";
    return h;
}

// ---------------------------------------------------------------- declarations

void Generator::declarations() {
    line("HEADER \"fuzz\", \"1.0\", \"generated\"");
    if (random_.chance(40)) {
        instances_ = {"Alice", "Bob"};
        line("DECLARE_INSTANCE Alice, Bob");
    }
    line("# int v0, v1, v2, fd; char buf[16]; char *s; static int kept; colour_t col; F_pos where_p;");
    variables_ = {{"v0", int_}, {"v1", int_}, {"v2", int_}, {"fd", int_}, {"col", colour_}, {"where_p", pos_}};
    for (const CType* message : message_types_) {
        const std::string name = "mv_" + message->name;
        line("# " + message->name + " " + name + ";");
        variables_.push_back({name, message});
    }
    if (random_.chance(50)) line("FORMAT v0 = \"" + std::string(random_.chance(50) ? "%d" : "%x") + "\"");
    if (random_.chance(40)) line("SHARE " + std::string(random_.chance(80) ? "kept" : "v1"));
    if (random_.chance(95)) line("TIMER t_main");
    if (random_.chance(20)) line("@ int at_declared;");
    if (!instances_.empty() && random_.chance(30)) {
        line("INSTANCE Alice:");
        line("# int alice_only;");
        line("END INSTANCE");
    }
    comm_declarations();
    // Procedures before the callbacks can be called from them (and stand in
    // for their MESSAGE_DATE and NO_MESSAGE), the others see every callback.
    procedures(random_.between(0, 2));
    callbacks_and_procsends();
    procedures(random_.between(1, 2));
    if (random_.chance(15)) line("CATCH " + std::string(random_.chance(50) ? "..." : "SIGTERM") + " WITH p0");
}

void Generator::comm_declarations() {
    trigger_style_ = random_.chance(30);
    const auto declare_events = [this](const char* keyword, const CType* type, const char* separator) {
        std::string text = std::string(keyword) + " " + type->name + separator;
        const int count = random_.between(1, 3);
        for (int e = 0; e < count; ++e) {
            const std::string name = "e" + std::to_string(events_.size());
            text += (e ? ", " : "") + name;
            events_.push_back({name, type});
        }
        line(text);
    };
    if (trigger_style_) {
        for (std::size_t t = 0; t < message_types_.size(); ++t) {
            declare_events("TRIGGER", message_types_[t], " ");
            channels_.push_back({"kvr_v1_3_ch_" + std::to_string(t), 0});
            callbacks_.insert({message_types_[t], 0});
            if (random_.chance(70)) procsends_.insert({message_types_[t], 0});
        }
        comm_types_ = {"kvr_socket"};
        if (random_.chance(5)) line("COMMTYPE Mixed IS conn_t");  // one style per script
        return;
    }
    const int comm_count = random_.between(1, 2);
    for (int c = 0; c < comm_count; ++c) {
        const std::string name = "C" + std::to_string(c);
        comm_types_.push_back(name);
        multiplexing_.push_back(random_.chance(40));
        line("COMMTYPE " + name + " IS conn_t" + (multiplexing_.back() ? " WITH MULTIPLEXING" : ""));
        std::string text = "CHANNEL " + name + " : ";
        const int count = random_.between(1, 3);
        for (int k = 0; k < count; ++k) {
            const std::string channel = "ch" + std::to_string(channels_.size());
            text += (k ? ", " : "") + channel;
            channels_.push_back({channel, c});
        }
        line(text);
    }
    for (const CType* type : message_types_) {
        declare_events("MESSAGE", type, " : ");
        for (int c = 0; c < comm_count; ++c) {
            if (random_.chance(75)) callbacks_.insert({type, c});
            if (random_.chance(70)) procsends_.insert({type, c});
        }
    }
    if (random_.chance(5)) line("TRIGGER M0 mixed");  // one style per script
}

void Generator::procedures(int count) {
    const std::vector<const CType*> parameter_types = {int_, long_, colour_, pos_};
    for (int p = 0; p < count; ++p) {
        Procedure procedure{"p" + std::to_string(procedures_.size()), {}};
        std::string text = "PROC " + procedure.name + "(";
        const int parameters = random_.between(0, 2);
        for (int a = 0; a < parameters; ++a) {
            const CType* type = random_.pick(parameter_types);
            procedure.parameters.push_back(type);
            text += (a ? ", " : "") + type->name + " a" + std::to_string(a);
        }
        line(text + ")");
        procedures_.push_back(std::move(procedure));  // a procedure may call itself
        body(Owner::Procedure, 1, random_.between(1, 4), true);
        line("END PROC");
    }
}

void Generator::callbacks_and_procsends() {
    for (std::size_t c = 0; c < comm_types_.size(); ++c) {
        for (const CType* type : message_types_) {
            const bool multiplexing = trigger_style_ || multiplexing_[c];
            if (!trigger_style_ && callbacks_.count({type, static_cast<int>(c)})) {
                std::string head = "CALLBACK " + type->name + " : m ON " + comm_types_[c] + " : id";
                if (multiplexing != random_.chance(5)) head += " [ n ]";
                line(head);
                const int before = random_.between(0, 2);
                body(Owner::Callback, 1, before, true);
                if (random_.chance(95)) line("MESSAGE_DATE");
                line("IF (id >= 0) THEN");
                body(Owner::Callback, 2, random_.between(1, 2));
                line("ELSE");
                if (random_.chance(95)) line("NO_MESSAGE");
                else line("PAUSE 1");
                line("END IF");
                line("END CALLBACK");
            }
            if (procsends_.count({type, static_cast<int>(c)})) {
                line("PROCSEND " + type->name + " : m ON " + comm_types_[c] + " : id");
                body(Owner::Procsend, 1, random_.between(1, 3), true);
                line("END PROCSEND");
            }
        }
    }
}

// ---------------------------------------------------------------- scenarios

void Generator::scenario_items(int depth) {
    if (random_.chance(30)) special_block("INITIALIZATION");
    const int count = random_.between(1, 3);
    for (int s = 0; s < count; ++s) scenario(depth);
    if (random_.chance(20)) special_block("TERMINATION");
    if (random_.chance(15)) special_block("EXCEPTION");
    if (random_.chance(2)) line("INCLUDE \"missing_" + std::to_string(names_++) + ".zod\"");
}

void Generator::scenario(int depth) {
    std::string head = "SCENARIO sc" + std::to_string(names_++);
    if (random_.chance(15)) head += " LOOP " + std::to_string(random_.between(1, 5));
    line(head);
    if (random_.chance(35)) line("FAMILY fam" + std::to_string(random_.below(3)) + (random_.chance(30) ? ", nightly" : ""));
    if (depth < 3 && random_.chance(35)) scenario_items(depth + 1);
    else body(Owner::Scenario, 1, random_.between(2, 8), true);
    line("END SCENARIO");
}

void Generator::special_block(const char* keyword) {
    if (!procedures_.empty() && random_.chance(40)) {
        const Procedure& p = random_.pick(procedures_);
        std::string arguments;
        for (std::size_t a = 0; a < p.parameters.size(); ++a) arguments += (a ? ", " : "") + argument(p.parameters[a]);
        line(std::string(keyword) + " " + p.name + "(" + arguments + ")");
        return;
    }
    line(keyword);
    body(Owner::Block, 1, random_.between(1, 4), true);
    line(std::string("END ") + keyword);
}

// ---------------------------------------------------------------- statements

void Generator::body(Owner owner, int depth, int count, bool top, bool instance) {
    for (int i = 0; i < count; ++i) {
        if (!instances_.empty() && !instance && depth < 3 && random_.chance(8)) {
            line("INSTANCE " + random_.pick(instances_) + ":");
            if (top && random_.chance(20)) line("# int instance_only" + std::to_string(names_++) + ";");
            else body(owner, depth + 1, random_.between(1, 2), false, true);
            line("END INSTANCE");
            continue;
        }
        statement(owner, depth, top);
    }
}

void Generator::statement(Owner owner, int depth, bool top) {
    std::string filter;
    if (random_.chance(6)) filter = random_.pick(std::vector<std::string>{"%A ", "%%AB ", "%A+B ", "%~C ", "%A~B ", "%A++ "});
    const std::size_t at = lines_.size();
    switch (random_.below(20)) {
        case 0: case 1: if (depth < 4) structured(owner, depth); else line("PAUSE 1"); break;
        case 2: case 3: call(); break;
        case 4: case 5: case 6: communication(owner); break;
        case 7: case 8: waittil(); break;
        case 9: case 10: var(); break;
        case 11: line("PAUSE " + int_expression()); break;
        case 12: line("PRINT lab" + std::to_string(random_.below(3)) + ", " + random_.pick(variables_).name); break;
        case 13: line(random_.chance(50) ? "TIMER t" + std::to_string(names_++) : "RESET t_main"); break;
        case 14: line("RENDEZVOUS r" + std::to_string(random_.below(3))); break;
        case 15: line(std::string(random_.chance(50) ? "SET" : "UNSET") + " (\"" + (random_.chance(97) ? "AB" : "aB1") + "\")"); break;
        case 16: line(random_.pick(std::vector<std::string>{"TRACE_ON", "TRACE_OFF", "FLUSH_TRACE"})); break;
        case 17:
            if (top && random_.chance(50)) {
                line("# int local" + std::to_string(names_++) + ";");
                return;  // a native line takes no filter
            }
            line("@ v" + std::to_string(random_.below(3)) + "++;");
            return;
        case 18: line(random_.pick(std::vector<std::string>{"COMMENT a note", "ERROR", "EXIT", "FORMAT v1 = \"%d\""})); break;
        default:
            // Cleanup procedures take no parameters.
            for (const Procedure& p : procedures_) {
                if (!p.parameters.empty() && !random_.chance(10)) continue;
                line(std::string(random_.chance(50) ? "ENABLE" : "DISABLE") + "_CLEANUP " + p.name + "()");
                break;
            }
            if (lines_.size() == at) line("PAUSE 2");
    }
    if (!filter.empty() && at < lines_.size()) lines_[at].insert(0, filter);
}

void Generator::structured(Owner owner, int depth) {
    switch (random_.below(3)) {
        case 0:
            line("IF (" + condition() + ") THEN");
            body(owner, depth + 1, random_.between(1, 3));
            if (random_.chance(50)) {
                line("ELSE");
                body(owner, depth + 1, random_.between(1, 2));
            }
            line("END IF");
            return;
        case 1:
            line("WHILE (" + condition() + ")");
            body(owner, depth + 1, random_.between(1, 3));
            line("END WHILE");
            return;
        default:
            line("CASE (" + random_.pick(std::vector<std::string>{"v0", "col", "v1 + 1"}) + ") IS");
            line("WHEN " + random_.pick(std::vector<std::string>{"1", "RED", "'a'"}) + " =>");
            body(owner, depth + 1, random_.between(1, 2));
            line("WHEN 2 => WHEN 3 =>");
            body(owner, depth + 1, 1);
            line("WHEN OTHERS =>");
            body(owner, depth + 1, 1);
            line("END CASE");
    }
}

void Generator::call() {
    if (!procedures_.empty() && random_.chance(40)) {
        const Procedure& p = random_.pick(procedures_);
        std::string arguments;
        for (std::size_t a = 0; a < p.parameters.size(); ++a) arguments += (a ? ", " : "") + argument(p.parameters[a]);
        if (random_.chance(10)) arguments += arguments.empty() ? "1" : ", 1";
        line("CALL " + maybe_unknown(p.name) + "(" + arguments + ")");
        return;
    }
    switch (random_.below(9)) {
        case 0: line("CALL f_get(" + int_expression() + ", s) @ " + int_expression()); return;
        case 1: line("CALL f_get(v0 @ 2 @ v1, buf)"); return;
        case 2: line("CALL f_put(REF(v" + std::to_string(random_.below(3)) + " @ 3), 4)"); return;
        case 3: line("CALL f_report(\"%d, %d\", v0, " + int_expression() + ")"); return;
        case 4: line("CALL f_none() @ 0 @ v2"); return;
        case 5: line("CALL f_legacy(1, 2)"); return;
        case 6: line(random_.chance(80) ? "CALL f_where()" : "CALL f_where() @ where_p"); return;
        case 7: line("CALL f_ratio(&mv_M0, 2) @ 1.5 @ v1"); return;
        default: line("CALL " + maybe_unknown("TWICE") + "(v0, 2)");
    }
}

void Generator::communication(Owner owner) {
    switch (random_.below(9)) {
        case 0: case 1: {
            const Variable& e = events_.empty() ? Variable{"ev_none", int_} : random_.pick(events_);
            line("SEND (" + maybe_unknown(e.name) + ", " + channel_for(e.type, procsends_) + ")");
            return;
        }
        case 2: case 3: {
            const Variable& e = events_.empty() ? Variable{"ev_none", int_} : random_.pick(events_);
            if (trigger_style_ && e.type->kind == CType::Struct && random_.chance(50)) {
                std::string text = "DEF_TRIGGER (" + e.name;
                for (const auto& field : e.type->fields) text += ", " + value(field.second, 1, true);
                line(text + ")");
            } else {
                line("DEF_MESSAGE " + maybe_unknown(e.name) + ", EV = " + value(e.type, 0, true));
            }
            return;
        }
        case 4:
            if (trigger_style_) line("FD_ADD (fd, " + message_type() + ")");
            else line("ADD_ID (" + channel() + ", " + (random_.chance(90) ? "fd" : random_.chance(50) ? "3" : "buf") + ")");
            return;
        case 5: line(trigger_style_ ? "FD_DEL (fd)" : "CLEAR_ID (" + channel() + ")"); return;
        case 6:
            // Mostly where they belong: procedures and callbacks.
            if (owner == Owner::Procedure || owner == Owner::Callback || random_.chance(20))
                line(random_.chance(50) ? "NO_MESSAGE" : "MESSAGE_DATE");
            else
                line("PAUSE 3");
            return;
        case 7: line("INTERSEND (" + random_.pick(std::vector<std::string>{"fd", "buf", "s", "v0 + 1"}) + ", buf)"); return;
        default: line(random_.chance(50) ? "INTERRECV (buf, fd)" : "INTERRECV (v1)");
    }
}

void Generator::waittil() {
    std::string success = matching_operator();
    if (random_.chance(50)) success += random_.chance(50) ? " && " + matching_operator() : " || " + matching_operator();
    const std::string failure =
        random_.pick(std::vector<std::string>{"WTIME > 100", "WTIME >= (LIMIT + 5)", "v0 > 3", "WTIME < 3", "WTIME > 20 || " + matching_operator()});
    line("WAITTIL (" + success + ", " + failure + ")");
}

void Generator::var() {
    const Variable& v = random_.chance(20) && !events_.empty() ? random_.pick(events_) : random_.pick(variables_);
    switch (random_.below(4)) {
        case 0: line("VAR " + v.name + ", INIT = " + value(v.type, 0, false)); return;
        case 1: line("VAR " + v.name + ", EV = " + value(v.type, 0, true)); return;
        case 2: line("VAR " + v.name + ", VA = " + value(v.type, 0, true)); return;
        default: line("VAR " + v.name + (v.type->kind == CType::Int ? " + 1" : "") + ", EV ==");
    }
}

// ---------------------------------------------------------------- pieces

std::string Generator::value(const CType* type, int depth, bool expected) {
    if (random_.chance(3)) return random_.pick(std::vector<std::string>{"{ }", "zz_unknown", "1 +", "\"text\"", "NONIL"});
    switch (type->kind) {
        case CType::Int: case CType::Long:
            if (expected && random_.chance(20)) return "[ " + std::to_string(random_.below(5)) + " .. " + std::to_string(random_.between(3, 9)) + " ]";
            return int_expression();
        case CType::Double: return random_.chance(50) ? "1.5" : "2";
        case CType::Enum: return expected && random_.chance(20) ? "[ RED .. GREEN ]" : random_.pick(std::vector<std::string>{"RED", "BLUE", "1"});
        case CType::CharArray: return random_.pick(std::vector<std::string>{"\"abc\"", "\"\"", "{ 'a', 'b', OTHERS => ' ' }"});
        case CType::CharPointer: return random_.pick(std::vector<std::string>{"NIL", "NONIL", "\"text\"", "s"});
        case CType::Pointer: return random_.chance(50) ? "NIL" : "NONIL";
        default:
            if (depth > 3 || random_.chance(10)) {
                // A whole value of the same type, or one value spread over every element.
                if (type == pos_) return "where_p";
                return type->kind == CType::Struct && type->name[0] == 'M' ? "mv_" + type->name : "0";
            }
            return aggregate(type, depth, expected);
    }
}

std::string Generator::aggregate(const CType* type, int depth, bool expected) {
    std::vector<std::string> elements;
    if (type->kind == CType::Array) {
        if (random_.chance(50)) {
            for (int i = 0; i < type->size + (random_.chance(5) ? 1 : 0); ++i) elements.push_back(value(type->element, depth + 1, expected));
        } else {
            const int split = random_.between(0, type->size - 1);
            elements.push_back("0 => " + value(type->element, depth + 1, expected));
            if (split > 0) elements.push_back("1.." + std::to_string(split + random_.below(2)) + " => " + value(type->element, depth + 1, expected));
            if (random_.chance(70)) elements.push_back("OTHERS => " + value(type->element, depth + 1, expected));
        }
    } else if (type->kind == CType::Union) {
        const auto& field = random_.pick(type->fields);
        elements.push_back((random_.chance(50) ? field.first + " => " : "") + value(field.second, depth + 1, expected));
        if (random_.chance(5)) elements.push_back(elements.front());
    } else if (random_.chance(50)) {
        const int given = random_.between(1, static_cast<int>(type->fields.size()));
        for (int f = 0; f < given; ++f) {
            const bool empty = random_.chance(8);
            elements.push_back(empty ? "" : value(type->fields[static_cast<std::size_t>(f)].second, depth + 1, expected));
        }
        if (given < static_cast<int>(type->fields.size()) && random_.chance(50)) elements.push_back("OTHERS => 0");
    } else {
        for (const auto& [name, field] : type->fields) {
            if (random_.chance(30)) continue;
            elements.push_back(name + " => " + value(field, depth + 1, expected));
        }
        if (elements.empty() || random_.chance(40)) elements.push_back("OTHERS => 0");
        if (random_.chance(4)) std::swap(elements.front(), elements.back());  // OTHERS no longer last
    }
    std::string text = "{ ";
    for (std::size_t i = 0; i < elements.size(); ++i) text += (i ? ", " : "") + elements[i];
    return text + " }";
}

std::string Generator::channel_for(const CType* type, const std::set<std::pair<const CType*, int>>& pairs) {
    std::vector<std::string> fitting;
    for (const Channel& c : channels_)
        if (pairs.count({type, c.comm})) fitting.push_back(c.name);
    return fitting.empty() || random_.chance(10) ? channel() : random_.pick(fitting);
}

std::string Generator::matching_operator() {
    const Variable& e = events_.empty() ? Variable{"ev_none", int_} : random_.pick(events_);
    std::string text = random_.pick(std::vector<std::string>{"MATCHED", "MATCHING", "NOTMATCHED", "NOTMATCHING"}) + "(" + e.name;
    if (random_.chance(trigger_style_ ? 10 : 70)) text += ", " + channel_for(e.type, callbacks_);
    return text + ")";
}

std::string Generator::condition() {
    switch (random_.below(4)) {
        case 0: return matching_operator() + " || v0 == 2";
        case 1: return "v" + std::to_string(random_.below(3)) + " < " + int_expression();
        case 2: return "TWICE(v1, 2) != LIMIT && buf[0] == 'a'";
        default: return "col == GREEN";
    }
}

std::string Generator::int_expression() {
    switch (random_.below(5)) {
        case 0: return "v" + std::to_string(random_.below(3));
        case 1: return "LIMIT";
        case 2: return "(v0 + " + std::to_string(random_.below(10)) + ")";
        default: return std::to_string(random_.below(100));
    }
}

// ---------------------------------------------------------------- mutations

// The spans of a line's tokens: words, strings, character constants, the
// two-character operators of the language, single characters.
std::vector<std::pair<std::size_t, std::size_t>> token_spans(std::string_view text) {
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '.'; };
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        if (word(text[i])) {
            while (end < text.size() && word(text[end])) ++end;
        } else if (text[i] == '"' || text[i] == '\'') {
            while (end < text.size() && text[end] != text[i]) ++end;
            end = std::min(end + 1, text.size());
        } else if (end < text.size()) {
            const std::string_view pair = text.substr(i, 2);
            if (pair == "=>" || pair == "&&" || pair == "||" || pair == ">=" || pair == "==" || pair == "%%") ++end;
        }
        spans.push_back({i, end});
        i = end;
    }
    return spans;
}

// A third of the scripts stay as generated; a third get unknown names
// (which leave the parse clean, so that the analysis runs); the rest get
// changes that the parser has to recover from.
void Generator::mutate() {
    const int mode = random_.below(3);
    if (mode == 0) return;
    const int count = random_.between(1, 3);
    for (int m = 0; m < count; ++m) {
        const std::size_t index = static_cast<std::size_t>(random_.below(static_cast<int>(lines_.size())));
        std::string& text = lines_[index];
        const auto spans = token_spans(text);
        if (mode == 1) {
            // A name (not a keyword: those are all capitals) becomes unknown.
            for (int attempt = 0; attempt < 4 && !spans.empty(); ++attempt) {
                const auto [start, end] = spans[static_cast<std::size_t>(random_.below(static_cast<int>(spans.size())))];
                const std::string_view token(text.data() + start, end - start);
                if (!std::isalpha(static_cast<unsigned char>(token[0])) ||
                    std::all_of(token.begin(), token.end(), [](char c) { return std::isupper(static_cast<unsigned char>(c)) || c == '_'; }))
                    continue;
                text.insert(start, "zz_");
                break;
            }
            continue;
        }
        const int operation = random_.below(6);
        if (operation >= 3 || spans.empty()) {
            if (operation == 3) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
            else if (operation == 4) lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), text);
            else if (index + 1 < lines_.size()) std::swap(lines_[index], lines_[index + 1]);
            continue;
        }
        const std::size_t t = static_cast<std::size_t>(random_.below(static_cast<int>(spans.size())));
        const auto [start, end] = spans[t];
        const std::string token = text.substr(start, end - start);
        if (operation == 0) {
            text.erase(start, end - start);
        } else if (operation == 1) {
            text.insert(end, " " + token);
        } else if (t + 1 < spans.size()) {
            const auto [next_start, next_end] = spans[t + 1];
            const std::string next = text.substr(next_start, next_end - next_start);
            text.replace(next_start, next_end - next_start, token);
            text.replace(start, end - start, next);
        }
    }
}

GeneratedScript Generator::run() {
    make_types();
    declarations();
    scenario_items(0);
    mutate();
    GeneratedScript generated;
    const bool crlf = random_.chance(2);
    for (const std::string& text : lines_) generated.script += text + (crlf ? "\r\n" : "\n");
    generated.header = header_text();
    // Options that change what the analysis selects, checks or keeps; at most
    // one of each exclusive pair.
    const std::vector<std::string> options = {"-TRACE=CIRCULAR", "-TRACE=TIME", "-RESTRICTION=ANSI", "-NOCOMMENT",
                                              "-NOFAST", "-INSTANCE=Alice", "-SCN=sc1", "-EXSCN=sc2", "-FAMILY=fam0",
                                              "-EXFAMILY=fam1", "-SET=AB", "-SPVGEN"};
    std::vector<std::size_t> chosen;
    for (int count = random_.below(3); count > 0; --count) {
        const std::size_t option = static_cast<std::size_t>(random_.below(static_cast<int>(options.size())));
        bool clash = false;
        for (std::size_t other : chosen) clash = clash || other == option || other / 2 == option / 2;
        if (clash) continue;
        chosen.push_back(option);
        generated.options += (generated.options.empty() ? "" : " ") + options[option];
    }
    return generated;
}

}  // namespace

GeneratedScript generate_script(std::uint64_t seed) { return Generator(seed).run(); }

}  // namespace zv::fuzz
