#include "codegen/scenarios.h"

#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/generator_common.h"
#include "codegen/statements.h"
#include "common/large_stack.h"
#include "driver/run_settings.h"
#include "model/semantic_model.h"

namespace zv {

namespace {

using codegen::descriptor_of;

// The runtime calls around one kind of block and the tag by which the
// report-structure calls know it.
struct BlockCalls {
    int tag;
    const char* before;
    const char* after;
};

constexpr BlockCalls kInitialization{1, "binit", "ainit"};
constexpr BlockCalls kTermination{2, "bterm", "aterm"};
constexpr BlockCalls kException{3, "bexcep", "aexcep"};

// The blocks of a scenario's list that apply to the sub-scenario being
// called: the last of each kind met before it.
struct Blocks {
    const Entry* initialization = nullptr;
    const Entry* termination = nullptr;
    const Entry* exception = nullptr;
};

// Writes the step sequences of one composite scenario. `depth` is the
// nesting depth of the scenario making the calls.
class StepWriter {
public:
    StepWriter(StatementWriter& writer, int depth)
        : out_(writer.out()), settings_(writer.sources().settings), depth_(depth) {}

    void sub_scenario(const Entry& scenario, const Blocks& blocks);

private:
    void block(const Entry& block, const BlockCalls& calls);
    void block_report(const Entry& block, int tag, int report, int begin);
    void block_call(const Entry& block);
    void failure_exit();
    bool flushing() const {
        return number(settings_.trace) > 0 && settings_.buffer_size > 0 && settings_.trace != TraceLevel::Circular;
    }
    // The circular trace is written out at once after a failure, and at the
    // trace level after each step; a fully circular trace is kept in memory.
    void priority_flush() {
        if (flushing()) flush("K_TRACECTX_MAX_PRIORITY");
    }
    void level_flush() {
        if (flushing()) flush(std::to_string(number(settings_.trace)));
    }
    void flush(const std::string& priority) {
        out_.emit_line("kvr_flush_circular_buffer(" + std::string(kRunContext) + ", " + priority + ");");
    }

    Emitter& out_;
    const RunSettings& settings_;
    int depth_;
};

void StepWriter::sub_scenario(const Entry& s, const Blocks& blocks) {
    const auto* d = descriptor_of<ScenarioDescriptor>(s);
    const int count = d ? d->loop_count : 0;
    const int j = depth_;
    const std::string full_name = d ? scenario_full_name(*d) : std::string();
    const char* path = full_name.c_str();
    const char* ctx = kRunContext.data();
    if (count < 2) {
        out_.appendf("J%d = 1;", j);
        out_.emit_line();
    } else {
        out_.appendf("for(J%d=1; J%d<=%d; ++J%d)", j, j, count, j);
        out_.emit_line();
        out_.open_block();
    }
    if (blocks.initialization) block(*blocks.initialization, kInitialization);

    out_.appendf("kvr_startchronomarkloop ( %s,%d, %d ,%d, J%d, \"%s\", %d, %d);", ctx, s.end_code, s.event_code,
                 depth_, j, path, s.report_number, s.file_index);
    out_.emit_line();
    out_.appendf("kvr_local_state = kvr_S%d (kvr_ctx);", s.event_code);
    out_.emit_line();
    out_.appendf("kvr_stopchronomarkloop (%s,kvr_local_state,%d,%d,J%d,\"%s\",%d,%d);", ctx, s.end_code, depth_, j,
                 path, s.report_number + 1, s.file_index);
    out_.emit_line();

    out_.emit_line("if ( kvr_local_state )");
    out_.open_block();
    out_.emit_line("kvr_global_state = 2;");
    priority_flush();
    out_.emit_line("if (( kvr_local_state == 3) || ( kvr_local_state == 4) )");
    out_.open_block();
    out_.emit_return("4");
    out_.close_block();
    if (blocks.exception) block(*blocks.exception, kException);
    out_.close_block();
    if (blocks.termination) {
        out_.emit_line("else");
        out_.open_block();
        block(*blocks.termination, kTermination);
        out_.close_block();
    }
    level_flush();
    if (count >= 2) out_.close_block();
}

void StepWriter::block(const Entry& b, const BlockCalls& calls) {
    const auto* d = descriptor_of<BlockDescriptor>(b);
    const Entry* procedure = d ? d->procedure : nullptr;
    const char* ctx = kRunContext.data();
    block_report(b, calls.tag, b.report_number, 1);
    out_.appendf("kvr_%s(%s,%d,%d,%d,J%d);", calls.before, ctx, b.end_code, b.event_code, depth_, depth_);
    out_.emit_line();
    if (procedure) {
        out_.appendf("kvr_bproc(%s,%d);", ctx, procedure->event_code);
        out_.emit_line();
    }
    block_call(b);
    if (procedure) {
        out_.appendf("kvr_aproc(%s,%d);", ctx, procedure->end_code);
        out_.emit_line();
    }
    out_.emit_line("if (kvr_local_state)");
    out_.open_block();
    block_report(b, calls.tag, b.report_number + 1, 0);
    out_.appendf("kvr_%s(%s,1,%d,%d,J%d);", calls.after, ctx, b.end_code, depth_, depth_);
    out_.emit_line();
    priority_flush();
    failure_exit();
    out_.close_block();
    out_.emit_line("else");
    out_.open_block();
    block_report(b, calls.tag, b.report_number + 1, 0);
    out_.appendf("kvr_%s(%s,0,%d,%d,J%d);", calls.after, ctx, b.end_code, depth_, depth_);
    out_.emit_line();
    out_.close_block();
    level_flush();
}

void StepWriter::block_report(const Entry& b, int tag, int report, int begin) {
    out_.emit_line("#if KVS_DYNFLW");
    out_.appendf("kvr_special_block_tsf ( %s, %d, %d, %d, %d);", kRunContext.data(), report, b.file_index, tag,
                 begin);
    out_.emit_line();
    out_.emit_line("#endif /* KVS_DYNFLW */");
    out_.emit_line();
}

// "kvr_local_state = <block function> (kvr_ctx, <arguments>);"
void StepWriter::block_call(const Entry& b) {
    const auto* d = descriptor_of<BlockDescriptor>(b);
    out_.append("kvr_local_state = " + block_function_name(b) + " (");
    const Entry* argument = d && d->procedure && d->arguments ? d->arguments->first : nullptr;
    out_.append(argument ? "kvr_ctx, " : "kvr_ctx");
    for (bool first = true; argument; argument = argument->next) {
        const auto* a = descriptor_of<CallArgumentDescriptor>(*argument);
        if (!a) continue;
        StatementWriter::append_argument(out_, first, a->by_address, a->value ? a->value : "");
        first = false;
    }
    out_.append(");");
    out_.emit_line();
}

// After a failing block. The debug build marks the scenario failed and goes
// on unless an EXIT ran; the normal build ends it with 2 (from 1) or 4 (from 3).
void StepWriter::failure_exit() {
    out_.emit_ifdef("KVR_KESTRUN_DEBUG");
    out_.emit_line("kvr_global_state = 2;");
    out_.emit_line("if (( kvr_local_state == 3) || ( kvr_local_state == 4) )");
    out_.open_block();
    out_.emit_return("4");
    out_.close_block();
    out_.emit_else();
    out_.emit_line("if (kvr_local_state & 1)");
    out_.open_block();
    out_.emit_line("++kvr_local_state;");
    out_.close_block();
    out_.emit_return("kvr_local_state");
    out_.emit_endif();
}

void write_leaf(StatementWriter& writer, const Entry& scenario) {
    Emitter& out = writer.out();
    out.appendf("static KVR_T_INT kvr_S%d ", scenario.event_code);
    out.emit_params();
    out.open_block();
    writer.debug_state_declaration();
    writer.write_list(scenario.descriptor->sub_scope);
    writer.debug_state_return();
    out.close_block();
}

void write_composite(StatementWriter& writer, const Entry& scenario) {
    writer.write_list(scenario.descriptor->sub_scope);
    write_composite_function(writer, scenario);
}

}  // namespace

bool is_selected_composite(const Entry& scenario) {
    const auto* d = descriptor_of<ScenarioDescriptor>(scenario);
    return d && d->selected && !d->leaf;
}

void write_composite_function(StatementWriter& writer, const Entry& scenario) {
    const Scope* list = scenario.descriptor->sub_scope;
    Emitter& out = writer.out();
    out.appendf("static KVR_T_INT kvr_S%d", scenario.event_code);
    out.emit_params();
    out.open_block();
    out.emit_line("KVR_T_INT kvr_local_state = 0;");
    out.emit_line("KVR_T_INT kvr_global_state = 0;");
    StepWriter steps(writer, writer.depth());
    Blocks blocks;
    for (const Entry* e = list ? list->first : nullptr; e; e = e->next) {
        switch (e->kind) {
            case E_INITIALIZATION: blocks.initialization = e; break;
            case E_TERMINATION: blocks.termination = e; break;
            case E_EXCEPTION: blocks.exception = e; break;
            case E_SCENARIO: {
                const auto* d = descriptor_of<ScenarioDescriptor>(*e);
                if (d && d->selected) steps.sub_scenario(*e, blocks);
                break;
            }
            default: break;
        }
    }
    out.emit_return("kvr_global_state");
    out.close_block();
}

void write_scenario(StatementWriter& writer, const Entry& scenario) {
    const auto* d = descriptor_of<ScenarioDescriptor>(scenario);
    if (!d || !d->selected) return;
    const auto write = [&] {
        writer.enter_scenario();
        if (d->leaf) write_leaf(writer, scenario);
        else write_composite(writer, scenario);
        writer.leave_scenario();
    };
    // The writing recurses as deep as the script nests its scenarios and
    // control structures; the nested scenarios run on the same stack.
    if (writer.depth() == 0) run_with_stack(kDeepWorkStack, write);
    else write();
}

void write_block_function(StatementWriter& writer, const Entry& block) {
    const auto* d = descriptor_of<BlockDescriptor>(block);
    if (!d || d->procedure) return;
    Emitter& out = writer.out();
    out.append("static KVR_T_INT " + block_function_name(block) + " ");
    out.emit_params();
    out.open_block();
    writer.debug_state_declaration();
    writer.write_list(d->sub_scope);
    writer.debug_state_return();
    out.close_block();
}

std::string block_function_name(const Entry& block) {
    const auto* d = descriptor_of<BlockDescriptor>(block);
    if (d && d->procedure) return "kvr_P" + std::to_string(d->procedure->event_code);
    const Descriptor* owner = block.scope ? block.scope->owner : nullptr;
    const int scenario = owner && owner->entry ? owner->entry->event_code : 0;
    const char letter = block.kind == E_TERMINATION ? 't' : block.kind == E_EXCEPTION ? 'e' : 'i';
    return "kvr_" + std::string(1, letter) + std::to_string(scenario);
}

}  // namespace zv
