// The semantic walk: its run-wide state and one handler per construct. The
// handlers live in small files per family of rules (header, scenarios, blocks,
// procedures and calls, control flow, simple instructions, filters and trace,
// the communication model, waits and matching, values); the helpers shared by
// all of them are here.
#pragma once

#include "common/position.h"
#include "diagnostics/report.h"
#include "model/semantic_tables.h"
#include "script/syntax_tree.h"
#include "semantic/analysis.h"
#include "semantic/value_match.h"
#include "model/semantic_model.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zv::semantic {

// The scenario items of the outermost level as the parser builds them.
class ItemFeed {
public:
    virtual ~ItemFeed() = default;
    // The next item, waiting for it; null once the parse has ended.
    virtual const Node* next_item() = 0;
    // The parse's own outermost scenario (its position is the end of the
    // script), once next_item() has given null.
    virtual const Node* outermost() const = 0;
};

class Walk {
public:
    Walk(SemanticTables& tables, const AnalysisOptions& options, native::NativeAnalyser& native)
        : tables_(tables), options_(options), native_(native) {}

    // The whole walk over an N_SCRIPT node; fills `model` with the numbers.
    void run(const Node* script, SemanticModel& model);
    // The same walk over a script still being parsed: its header and
    // declarations, then the outermost items as `feed` gives them.
    void run_fed(const Node* header, const Node* declarations, ItemFeed& feed, SemanticModel& model);

private:
    void begin(const Node* header, const Node* declarations);
    void end(SemanticModel& model);

    // ---------------------------------------------------------------- header (header_walk.cpp)
    void declare_builtins();
    void create_program(const Node* header);
    void choose_instance_mode(const Node* declarations);
    void walk_header(const Node* declarations);
    void header_declaration(const Node* node);
    void on_declare_instance(const Node* node);
    void on_header_instance_block(const Node* node);
    void flush_pending_c_text();

    // ---------------------------------------------------------------- scenarios (scenarios.cpp)
    struct ScenarioLevel;  // what the items of one scenario list share
    // Returns true when at least one scenario of the list ends up selected.
    bool walk_scenario_items(const Node* items, Scope* scope, ScenarioDescriptor* parent);
    void on_scenario(const Node* node, ScenarioLevel& level);
    void on_block_item(const Node* node, ScenarioLevel& level);
    bool path_selected(const std::string& full_name) const;
    bool family_selected(const Node* families, Scope* family_scope);
    // The positions of a scenario's entry and descriptor, from its node.
    static void place_scenario(Entry* entry, ScenarioDescriptor* d, const Node* node);

    // Handlers marked noinline keep their texts out of the frames of the
    // recursion through nested bodies (bodies may nest thousands deep).

    // ---------------------------------------------------------------- bodies (blocks.cpp)
    void walk_body(const Node* item, Scope* scope);
    [[gnu::noinline]] void declaration_part(const Node* hash_lines, Scope* scope);
    // False when the rest of the body must be skipped.
    bool instance_block(const Node* header, const Node* contents, const Position& end_at, Scope* scope,
                        bool declarations);
    void instance_references(const Node* names, Scope* scope);
    bool names_selected_instance(const Node* names) const;
    void statement(const Node* node, Scope* scope);
    void instruction(const Node* node, Scope* scope, const char* filter);
    void after_instruction(Scope* scope);

    // ---------------------------------------------------------------- procedures and calls (procedures.cpp)
    void on_procedure(const Node* node);
    [[gnu::noinline]] void on_call(const Node* node, Scope* scope, const char* filter);
    void check_procedure_arguments(Entry* procedure, const Node* arguments, Scope* into, const Position& at);
    [[gnu::noinline]] void on_cleanup(const Node* node, Scope* scope, const char* filter, bool enable);
    void mark_used(Entry* procedure, bool through_calls);
    void report_unused_procedures();
    bool is_interface_function(const std::string& name);
    bool is_function_macro(const std::string& name, const Node* arguments, const Position& at);

    // ---------------------------------------------------------------- control flow (control_flow.cpp)
    void on_if(const Node* node, Scope* scope, const char* filter);
    void on_while(const Node* node, Scope* scope, const char* filter);
    void on_case(const Node* node, Scope* scope, const char* filter);
    Entry* structure_entry(int kind, const Node* node, Scope* scope, const char* filter);
    void when_values(const Node* labels, Scope* values, std::unordered_set<std::string>& used);
    [[gnu::noinline]] void on_error_or_exit(const Node* node, Scope* scope, const char* filter);

    // ---------------------------------------------------------------- other instructions (instructions.cpp)
    [[gnu::noinline]] void on_comment(const Node* node, Scope* scope, const char* filter);
    [[gnu::noinline]] void on_c_statement(const Node* node, Scope* scope, const char* filter);
    [[gnu::noinline]] void on_timer(const Node* node, Scope* scope, const char* filter);
    [[gnu::noinline]] void on_reset(const Node* node, Scope* scope, const char* filter);
    [[gnu::noinline]] void on_pause(const Node* node, Scope* scope, const char* filter);
    [[gnu::noinline]] void on_print(const Node* node, Scope* scope, const char* filter);
    [[gnu::noinline]] void on_rendezvous(const Node* node, Scope* scope, const char* filter);

    // ---------------------------------------------------------------- filters and trace (filters.cpp)
    const char* filter_text(const Node* filter);
    [[gnu::noinline]] void on_filter_letters(const Node* node, Scope* scope, const char* filter);
    [[gnu::noinline]] void on_trace(const Node* node, Scope* scope, const char* filter);
    void report_dropped_trace();

    // ---------------------------------------------------------------- communication model (communication.cpp)
    void on_comm_declaration(const Node* node);
    void create_implicit_comm_type(const Position& at);
    [[gnu::noinline]] void on_catch(const Node* node);
    void on_commtype(const Node* node);
    void on_channel(const Node* node);
    void on_event_variables(const Node* node, bool trigger);
    Entry* new_channel(Entry* comm_type, std::string_view name, const Position& at);
    Entry* new_callback(const std::string& message_type, const std::string& comm_type, const Position& at);
    void register_callback(Entry* callback);
    void create_trigger_callback(Entry* message_type, const Position& at);
    // Channel and callback lists kept beside the root scope, in declaration order.
    std::vector<Entry*>& channels_of(const Entry* comm_type) { return channels_of_comm_[comm_type]; }
    std::vector<Entry*>& callbacks_of(const Entry* message_type) { return callbacks_of_type_[message_type]; }
    // ---------------------------------------------------------------- callbacks and procsends (callbacks.cpp)
    void on_callback(const Node* node);
    void on_procsend(const Node* node);
    struct CommFunction {
        Position at;
        std::string type_name, comm_name, name;
        const char* message_variable = nullptr;
        const char* id_variable = nullptr;
        Entry* comm_type = nullptr;
        Entry* message_type = nullptr;
        bool refused = false;  // a duplicate
    };
    CommFunction comm_function(const Node* node, int kind, const char* suffix);
    // The body of a refused duplicate, analysed for its messages only.
    void walk_duplicate(const Node* node, int kind, CommFunction& f);
    bool declare_callback_variables(const CommFunction& f, const Node* count, bool report);
    void declare_procsend_variables(const CommFunction& f);
    void resolve_comm_function(CommFunction& f);
    // The body under the C scope name already set, which is closed afterwards.
    void walk_comm_body(const Node* body, Scope* scope);

    bool body_contains(const Scope* body, int kind);
    // ---------------------------------------------------------------- communication instructions (comm_instructions.cpp)
    [[gnu::noinline]] void on_comm_instruction(const Node* node, Scope* scope, const char* filter);
    void on_send(const Node* node, Scope* scope, const char* filter);
    void on_def_message(const Node* node, const std::string& value_text, Scope* scope, const char* filter);
    void ensure_defaults(Entry* message_type, const Position& at);
    void on_add_id(const Node* node, Scope* scope, const char* filter);
    void on_fd_add(const Node* node, Scope* scope, const char* filter);
    void on_clear_id(const Node* node, Scope* scope, const char* filter);
    void on_message_mark(const Node* node, Scope* scope, const char* filter);
    void on_intersend(const Node* node, Scope* scope, const char* filter);
    void on_interrecv(const Node* node, Scope* scope, const char* filter);
    // The channel that the TRIGGER style made with a message type, or null.
    Entry* implicit_channel(const Entry* message_type) const;
    // SHARE (share.cpp)
    [[gnu::noinline]] void on_share(const Node* node);

    // ---------------------------------------------------------------- WAITTIL and matching operators (waits.cpp, matching.cpp)
    [[gnu::noinline]] void on_waittil(const Node* node, Scope* scope, const char* filter);
    // A matching operator resolved against the model.
    struct Operator {
        const Node* node = nullptr;
        Entry* event = nullptr;
        Entry* channel = nullptr;   // written, or the implicit one of the TRIGGER style
        bool written_channel = false;
        Entry* callback = nullptr;
        std::string c_text, display;
    };
    // Fills the event, channel and callback of an operator; false after the
    // first error (UNKMSGNAM, UNKCHANAM, CBNOTDECL), reported at `at`.
    bool resolve_operator(Operator& op, const Position& at);
    // C and display texts of an operator; reports UNKMSGNAM unless `quiet`.
    void operator_texts(Operator& op, const Position& at, bool quiet);
    Entry* callback_for(const Entry* event, const Entry* channel);
    void report_missing_def_message();
    std::string time_limit(const std::string& failure, const std::string& success) const;

    // ---------------------------------------------------------------- values (values.cpp)
    // Checks a value text (what follows the first "=" of its clause) against a
    // C variable, with every report the value rules give. On success appends a
    // value root entry named after the variable to `into` and returns it; null
    // when the value is wrong (VARNOGOOD). `type_name`, when not empty, types
    // the variable instead of its declaration (the work variable kvr_msgrcv
    // takes its message type this way).
    Entry* check_value(const std::string& variable, const std::string& value_text, ValueUse use, const Position& at,
                       Scope* into, const char* filter = nullptr, const std::string& type_name = {});
    // A copy of a value entry tree appended to `into` under another name; it
    // reports nothing.
    Entry* copy_value(const Entry* root, Scope* into, std::string_view name, ValueUse use);
    // The layout of a C type kept in the model, level by level, each level
    // made once.
    const TypeLayoutNode* layout_of(const native::NativeType& type);
    // check_value for a variable written `name` and typed from the text `typing`.
    Entry* check_value_as(const std::string& name, const std::string& typing, const std::string& value_text,
                          ValueUse use, const Position& at, Scope* into, const char* filter,
                          const std::string& type_name);
    [[gnu::noinline]] void on_var(const Node* node, Scope* scope, const char* filter);
    [[gnu::noinline]] void on_format(const Node* node, bool inside_block);

    // ---------------------------------------------------------------- interface function calls (calls.cpp)
    [[gnu::noinline]] void call_interface_function(const Node* node, const std::string& called, Scope* scope,
                                                   const char* filter);
    // The entry shared by every call of a function (or function-like macro),
    // made at its first call.
    Entry* interface_function(const std::string& name, const Position& at);
    void interface_return(const Node* result, CallDescriptor* call, Entry* return_value, Scope* scope,
                          const Position& at);
    void interface_arguments(const Node* arguments, const char* name, const Entry* function, Scope* into,
                             Scope* scope, const Position& at);
    // A call temporary named by `format` and the shared counter, at the head
    // of the nearest executable scope.
    Entry* declare_temporary(const char* format, Entry* parameter, Entry* argument, Scope* scope,
                             const Position& at);
    // One part of a call (value, expected value, receiving variable): its
    // texts, type class and array element count; `present` false when empty.
    struct CallPart {
        bool present = false;
        std::string c, typing;
        int type_class = -1;
        long long count = 0;
    };
    CallPart call_part(const Node* expression, const Position& at);

    // ---------------------------------------------------------------- helpers (walk.cpp)
    Entry* append(Scope* scope, int kind, std::string_view name, const Position& at, const char* filter = nullptr);
    Entry* append_unnamed(Scope* scope, int kind, const Position& at, const char* filter = nullptr);
    // Head of the nearest scope owned by a scenario, procedure, block, callback
    // or procsend (the root scope when there is none).
    Entry* prepend_executable(Scope* scope, int kind, std::string_view name, const Position& at);
    // A scope held in a descriptor field (not the descriptor's own block).
    Scope* field_scope(Descriptor* owner, Scope* parent);
    // Registers C declaration text under the current C scope name.
    void declare_c(const std::string& text, const Position& at);
    void close_c_scope(const std::string& name);
    bool declared_in_c_scope(const std::string& name);
    int type_class_of(const std::string& text, const Position& at);
    // The texts of an N_EXPRESSION chain (empty for an empty expression):
    // `c` with matching operators translated for the generated code, `typing`
    // with each operator standing as a plain int call that the C analysis can
    // type, `display` with the operators as the script writes them. With
    // `check`, each operator must find a callback (CBNOTDECL otherwise).
    struct ExpressionTexts {
        std::string c, typing, display;
    };
    ExpressionTexts translate(const Node* expression, bool check);
    // translate(expression, true).c
    std::string expression_text(const Node* expression);
    // The add identifier entry of ADD_ID and FD_ADD (comm_instructions.cpp).
    void add_identifier(const ExpressionTexts& id, Entry* channel, Scope* scope, const char* filter,
                        const Position& at);

    // Preprocessed form of a short text, tokens joined as written.
    std::string preprocessed_text(const std::string& text, const Position& at);

    SemanticTables& tables_;
    const AnalysisOptions& options_;
    native::NativeAnalyser& native_;

    // Run-wide state of the walk.
    InstanceMode instance_mode_ = InstanceMode::NoInstances;
    int selected_position_ = 1;
    BlockDepth instance_depth_;
    bool instruction_marker_ = false;
    bool inside_procedure_ = false;
    std::string c_scope_;
    // A fed walk: the feed, the stand-in for the list of outermost items,
    // the stand-in outermost scenario and its entry.
    ItemFeed* feed_ = nullptr;
    const Node* fed_items_ = nullptr;
    const Node* fed_scenario_ = nullptr;
    Entry* fed_entry_ = nullptr;
    std::string pending_c_text_;
    Position pending_at_;
    int next_instance_number_ = 2;
    Position instruction_at_;  // where the instruction being analysed begins
    // Numbering: call temporaries (one counter for "kvr_return_%d" and
    // "kvr_p_%d"), message types, DEF_MESSAGE and WAITTIL numbers, the highest
    // channel index.
    int next_temporary_ = 0;
    int next_message_type_ = 0;
    int next_def_message_ = 1;
    int next_waittil_ = 0;
    int highest_channel_ = 0;
    bool waittil_recorded_ = false;
    bool def_message_seen_ = false;  // a DEF_MESSAGE entry, accepted or not
    bool detached_ = false;          // in the body of a refused duplicate
    Entry* implicit_comm_type_ = nullptr;  // kvr_socket in the implicit-socket style
    // The procedures in the order of the root list, where they are appended
    // and stay.
    std::vector<Entry*> procedures_;
    std::unordered_map<const Entry*, std::vector<Entry*>> channels_of_comm_;
    std::unordered_map<const Entry*, std::vector<Entry*>> callbacks_of_type_;
    std::unordered_map<const Entry*, Entry*> implicit_channels_;  // message type -> its channel
    std::unordered_map<const void*, const TypeLayoutNode*> layouts_;  // by native type identity
    // Values made of literals only mean the same in every scope. Those whose
    // text was read without a message, and the elements such a text gave
    // for a type without a message, are kept: short texts only, and
    // elements up to a budget, so that what is kept stays small.
    static constexpr std::size_t kKeptValues = 4096;
    static constexpr std::size_t kKeptElements = std::size_t{1} << 16;
    std::unordered_set<std::string> clean_values_;
    std::unordered_map<std::string, std::vector<MatchedElement>> value_elements_;
    std::size_t kept_elements_ = 0;
    int next_comm_type_ = 0;  // communication types numbered in declaration order
    int timer_count_ = 0;
    int dropped_trace_on_ = 0;
    int dropped_trace_off_ = 0;
    int dropped_flush_trace_ = 0;
};

// Position of a node stamped after the NEWLINE that ends its last line.
Position line_before(const Node* node);
// The construct as a script writer knows it: the node kind without "N_".
const char* construct_name(const Node* node);
// "%d (%s)" from an argument position and the called name.
std::string position_and_name(int position, const char* name);
// Whether a call's argument list is "()": one argument holding an empty expression.
bool empty_argument_list(const Node* arguments);
// The text without the blanks and line ends around it.
std::string trimmed(std::string_view text);
// Pooled copy of a text.
const char* pooled(std::string_view text);
// Positioned report with the argument as %2.
void report_at(Severity severity, Code code, std::string_view arg, const Position& at);

}  // namespace zv::semantic
