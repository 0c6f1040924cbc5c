// The statement generator of the test driver: turns the statement lists of
// scenarios, blocks, procedures and callbacks into C lines, with the guards of
// execution filters and of instance sections. Statements whose text another
// generator owns (calls, waits, sends, VAR, INTERRECV, procedures, callbacks,
// procsends) are handed to it through OtherStatements.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace zv {

class Emitter;
struct DriverSources;
struct Entry;
struct Scope;

// Writers of the statements that are generated elsewhere. Each is given the
// statement's entry and writes at the emitter's current level; a missing
// writer leaves its statements out.
struct OtherStatements {
    using Writer = std::function<void(const Entry&)>;
    Writer call;       // CALL of a script procedure or an interface function
    Writer wait;       // WAITTIL
    Writer send;       // SEND
    Writer var;        // VAR
    Writer interrecv;  // INTERRECV
    Writer procedure;  // a PROC met in a list
    Writer callback;
    Writer procsend;
};

class StatementWriter {
public:
    StatementWriter(Emitter& out, const DriverSources& sources, OtherStatements others);

    Emitter& out() { return out_; }
    // The other writers may themselves write statement lists through this
    // writer, so they can be given after it is made.
    void set_others(OtherStatements others) { others_ = std::move(others); }
    const DriverSources& sources() const { return sources_; }

    // Writes every statement of the list in order. Under the single-instance
    // mode an instance section of another instance ends the list. The
    // recursion follows the nesting of the script: run outside a scenario,
    // it wants a deep stack (run_with_stack).
    void write_list(const Scope* list);
    // One statement with its filter guard.
    void write_statement(const Entry& statement);

    // After ERROR and the other failing checks: the debug build marks the
    // function failed and goes on, the normal build returns 1 at once.
    void failure_mark();
    // The debug state of a scenario, block or procedure function: declared at
    // its head, returned at its end.
    void debug_state_declaration();
    void debug_state_return();

    // The nesting depth of scenarios being written: 0 outside them.
    int depth() const { return depth_; }
    void enter_scenario() { ++depth_; }
    void leave_scenario() { --depth_; }
    // For writing the parts of a scenario apart.
    void set_depth(int depth) { depth_ = depth; }


    // Appends one call argument to the line under construction.
    static void append_argument(Emitter& out, bool first, bool by_reference, std::string_view text);

private:
    // Both return false when the rest of the list is to be left out.
    bool write_kind_guarded(const Entry& statement);
    bool write_kind(const Entry& statement);
    void write_filter_guard(std::string_view filter);
    void write_if(const Entry& statement);
    void write_case(const Entry& statement);
    void write_when(const Entry& statement);
    void write_rendezvous(const Entry& statement);
    void write_intersend(const Entry& statement);
    void write_add_id(const Entry& statement);
    void write_clear_id(const Entry& statement);
    void write_def_message(const Entry& statement);
    void write_local_declaration(const Entry& statement);
    bool write_instance_section(const Entry& statement);
    void write_cleanup(const Entry& statement, const char* action);
    void delegate(const OtherStatements::Writer& writer, const Entry& statement);
    // "kvr_<what> ( &ctx,<code> );" lines of the simple runtime calls.
    void runtime_call(const char* what, const Entry& statement);

    Emitter& out_;
    const DriverSources& sources_;
    OtherStatements others_;
    int depth_ = 0;
};

// Whether writing the statement ends the list it is in (an instance section
// of another instance under the single-instance mode).
bool ends_list(const Entry& statement, const DriverSources& sources);

// The runtime context argument of the generated runtime calls.
inline constexpr std::string_view kRunContext = "&(kvr_ctx->kvr_ctxrun)";

}  // namespace zv
