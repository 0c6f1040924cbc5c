#include "codegen/statements.h"

#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/generator_common.h"
#include "codegen/scenarios.h"
#include "driver/run_settings.h"
#include "model/semantic_model.h"

#include <string>
#include <utility>

namespace zv {

namespace {

using codegen::descriptor_of;

std::string name_of(const Entry& entry) { return entry.name ? entry.name : ""; }
std::string text_of(const char* text) { return text ? text : ""; }

// The runtime names of the native type codes a local declaration may carry.
const char* runtime_type(int code) {
    static constexpr const char* names[] = {"KVR_T_ENUM",  "KVR_T_CAR",   "KVR_T_INT", "KVR_T_LONG",  "KVR_T_REAL",
                                            "KVR_T_DOUBLE", "KVR_PT_CAR", "KVR_T_CAR", "KVR_PT_VOID", "KVR_PT_VOID"};
    return code >= 0 && code <= 9 ? names[code] : "TO_BE_COMPLETED";
}

// The channel's slot in its communication type's channel array.
std::string channel_slot(const Entry* channel) {
    const auto* d = channel ? descriptor_of<ChannelDescriptor>(*channel) : nullptr;
    if (!d || !d->comm_type) return {};
    return "kvr_channel_" + name_of(*d->comm_type) + "[" + std::to_string(d->index) + "]";
}

}  // namespace

StatementWriter::StatementWriter(Emitter& out, const DriverSources& sources, OtherStatements others)
    : out_(out), sources_(sources), others_(std::move(others)) {}

void StatementWriter::write_list(const Scope* list) {
    for (const Entry* e = list ? list->first : nullptr; e; e = e->next)
        if (!write_kind_guarded(*e)) return;
}

void StatementWriter::write_statement(const Entry& statement) { write_kind_guarded(statement); }

bool StatementWriter::write_kind_guarded(const Entry& statement) {
    if (!statement.filter || !*statement.filter) return write_kind(statement);
    write_filter_guard(statement.filter);
    out_.open_block();
    const bool go_on = write_kind(statement);
    out_.close_block();
    return go_on;
}

// Letters name the filters A to Z. A single filter joins its letters by "and"
// and its "+" groups by "or"; a double filter (leading "%") the other way
// round. "~" negates the letter after it.
void StatementWriter::write_filter_guard(std::string_view filter) {
    const bool grouped = filter.find('+') != std::string_view::npos;
    const bool swapped = !filter.empty() && filter.front() == '%';
    if (swapped) filter.remove_prefix(1);
    const char* join = swapped ? " || " : " && ";
    const char* group = swapped ? ") && (" : ") || (";
    std::string guard = grouped ? "if ( ( " : "if ( ";
    bool after_term = false, negate = false;
    for (char c : filter) {
        if (c == '+') {
            guard += group;
            after_term = false;
        } else if (c == '~') {
            negate = true;
        } else if (c >= 'A' && c <= 'Z') {
            if (after_term) guard += join;
            if (negate) guard += '!';
            guard += "kvr_filter[" + std::to_string(c - 'A') + "]";
            after_term = true;
            negate = false;
        }
    }
    guard += ")";
    if (grouped) guard += " )";
    out_.emit_line(guard);
}

bool StatementWriter::write_kind(const Entry& s) {
    switch (s.kind) {
        case E_SCENARIO: write_scenario(*this, s); break;
        case E_INITIALIZATION: case E_TERMINATION: case E_EXCEPTION: write_block_function(*this, s); break;
        case E_PROCEDURE: delegate(others_.procedure, s); break;
        case E_CALLBACK: delegate(others_.callback, s); break;
        case E_PROCSEND: delegate(others_.procsend, s); break;
        case E_CALL: delegate(others_.call, s); break;
        case E_WAIT: delegate(others_.wait, s); break;
        case E_SEND: delegate(others_.send, s); break;
        case E_VALUE: {
            // A VAR gives or expects a variable's value; the expected message
            // under a DEF_MESSAGE is assigned to the variable's reference,
            // which the message functions compare received messages with.
            const auto* d = descriptor_of<ValueDescriptor>(s);
            if (d && d->use != ValueUse::Defaults) delegate(others_.var, s);
            break;
        }
        case E_INTERRECV: delegate(others_.interrecv, s); break;
        case E_COMMENT: runtime_call("comment", s); break;
        case E_ENABLE_CLEANUP: write_cleanup(s, "enable"); break;
        case E_DISABLE_CLEANUP: write_cleanup(s, "disable"); break;
        case E_C_LINE: case E_C_LINE_AT: out_.emit_line(name_of(s)); break;
        case E_WHILE:
            out_.emit_line("while ( " + name_of(s) + " )");
            out_.open_block();
            write_list(s.descriptor ? s.descriptor->sub_scope : nullptr);
            out_.close_block();
            break;
        case E_IF: write_if(s); break;
        case E_CASE: write_case(s); break;
        case E_WHEN: write_when(s); break;
        case E_ERROR:
            runtime_call("error", s);
            failure_mark();
            break;
        case E_EXIT:
            runtime_call("rioexit", s);
            out_.emit_return("3");
            break;
        case E_SET: case E_UNSET: {
            const auto* d = descriptor_of<FilterLettersDescriptor>(s);
            out_.appendf("kvr_%s ( %s,\"%s\", %d );", s.kind == E_SET ? "setfilter" : "unsetfilter",
                         kRunContext.data(), d && d->letters ? d->letters : name_of(s).c_str(), s.event_code);
            out_.emit_line();
            break;
        }
        case E_TEMPORARY: write_local_declaration(s); break;
        case E_RENDEZVOUS: write_rendezvous(s); break;
        case E_MESSAGE_DEFINITION: write_def_message(s); break;
        case E_NO_MESSAGE:
            runtime_call("nomsg", s);
            out_.emit_return("KVR_NO_MESSAGE");
            break;
        case E_MESSAGE_DATE: runtime_call("msgdate", s); break;
        case E_ADD_ID: write_add_id(s); break;
        case E_CLEAR_ID: write_clear_id(s); break;
        case E_TIMER_START:
            if (const auto* d = descriptor_of<TimerDescriptor>(s))
                out_.emit_line("kvr_get_date(&(kvr_ctx->timer[" + std::to_string(d->number) + "].timer));");
            break;
        case E_TIMER:
            if (const auto* d = descriptor_of<TimerDescriptor>(s))
                out_.emit_line("int " + name_of(s) + "=" + std::to_string(d->number) + ";");
            break;
        case E_TIMER_RESET: out_.emit_line("kvr_get_date(&(kvr_ctx->timer[" + name_of(s) + "].timer));"); break;
        case E_PAUSE: out_.emit_line("kvr_pause ((KVR_T_UTIME)(" + name_of(s) + "));"); break;
        case E_PRINT: {
            const auto* d = descriptor_of<PrintDescriptor>(s);
            out_.appendf("kvr_print(%s,%d,(KVR_T_ULONG)(%s));", kRunContext.data(), s.event_code,
                         d && d->expression ? d->expression : "");
            out_.emit_line();
            break;
        }
        case E_FLUSH_TRACE:
            out_.appendf("kvr_flush_trace (%s,%d);", kRunContext.data(), s.event_code);
            out_.emit_line();
            out_.emit_line("kvr_flush_circular_buffer (" + std::string(kRunContext) + ", K_TRACECTX_MAX_PRIORITY);");
            break;
        case E_TRACE_ON: runtime_call("trace_on", s); break;
        case E_TRACE_OFF: runtime_call("trace_off", s); break;
        case E_INTERSEND: write_intersend(s); break;
        case E_HEADER_INSTANCE_BEGIN: case E_DECLARATION_INSTANCE_BEGIN: case E_INSTRUCTION_INSTANCE_BEGIN:
            return write_instance_section(s);
        case E_INSTRUCTION_INSTANCE_END: {
            const InstanceMode mode = sources_.model.instance_mode;
            if (mode == InstanceMode::AllDeclared || mode == InstanceMode::SelectedUndeclared) out_.close_block();
            break;
        }
        default:
            // Declarations that other generators write (types, channels,
            // instances, interface functions), instance references read by
            // their section, and the closing of declaration sections.
            break;
    }
    return true;
}

void StatementWriter::delegate(const OtherStatements::Writer& writer, const Entry& statement) {
    if (writer) writer(statement);
}

void StatementWriter::runtime_call(const char* what, const Entry& statement) {
    out_.appendf("kvr_%s ( %s,%d );", what, kRunContext.data(), statement.event_code);
    out_.emit_line();
}

void StatementWriter::write_cleanup(const Entry& statement, const char* action) {
    const auto* d = descriptor_of<CleanupDescriptor>(statement);
    const int number = d && d->procedure ? d->procedure->event_code : 0;
    out_.appendf("kvr_%s ( %s,(KVR_T_INT (*)())kvr_P%d );", action, kRunContext.data(), number);
    out_.emit_line();
}

void StatementWriter::write_if(const Entry& statement) {
    const auto* d = descriptor_of<IfDescriptor>(statement);
    out_.emit_line("if ( " + name_of(statement) + " )");
    out_.open_block();
    write_list(statement.descriptor ? statement.descriptor->sub_scope : nullptr);
    out_.close_block();
    if (!d || !d->else_part) return;
    out_.emit_line("else");
    out_.open_block();
    write_list(d->else_part);
    out_.close_block();
}

void StatementWriter::write_case(const Entry& statement) {
    out_.emit_line("switch ( " + name_of(statement) + " )");
    out_.open_block();
    write_list(statement.descriptor ? statement.descriptor->sub_scope : nullptr);
    out_.close_block();
}

void StatementWriter::write_when(const Entry& statement) {
    const auto* d = descriptor_of<WhenDescriptor>(statement);
    if (!d) return;
    for (const Entry* v = d->sub_scope ? d->sub_scope->first : nullptr; v; v = v->next) {
        const std::string value = name_of(*v);
        out_.emit_line(value == "OTHERS" ? std::string("default :") : "case " + value + " :");
    }
    out_.open_block();
    write_list(d->instructions);
    out_.emit_line("break;");
    out_.close_block();
}

void StatementWriter::write_rendezvous(const Entry& s) {
    const std::string name = name_of(s);
    const char* ctx = kRunContext.data();
    out_.appendf("kvr_brdv(%s,%d, \"%s\");", ctx, s.event_code, name.c_str());
    out_.emit_line();
    out_.emit_line("if (kvr_rdv(\"" + name + "\"))");
    for (int failed = 1; failed >= 0; --failed) {
        if (!failed) out_.emit_line("else");
        out_.open_block();
        out_.emit_line("#if KVS_DYNFLW");
        out_.appendf("kvr_rdv_reached_tsf ( %s, %d, %d, %d);", ctx, failed, s.report_number, s.file_index);
        out_.emit_line();
        out_.emit_line("#endif /* KVS_DYNFLW */");
        out_.emit_line();
        out_.appendf("kvr_ardv(%s,%d,%d, \"%s\");", ctx, s.event_code, failed, name.c_str());
        out_.emit_line();
        if (failed) failure_mark();
        out_.close_block();
    }
}

// A numeric value is sent as its decimal text, made in a block of its own.
void StatementWriter::write_intersend(const Entry& s) {
    const auto* d = descriptor_of<IntersendDescriptor>(s);
    if (!d) return;
    const char* ctx = kRunContext.data();
    const std::string target = text_of(d->second);
    std::string value = text_of(d->first);
    if (d->numeric) {
        out_.open_block();
        out_.emit_line("char kvr_local_int2string[KVS_TAGTBUF_SIZE];");
        out_.emit_line("kvr_sprintf (kvr_local_int2string, \"%d\", " + value + ");");
        value = "kvr_local_int2string";
    }
    out_.emit_line("#if KVS_DYNFLW");
    out_.appendf("kvr_intersend_tsf ( %s, %d, %d, %s);", ctx, s.report_number, s.file_index, target.c_str());
    out_.emit_line();
    out_.emit_line("#endif /* KVS_DYNFLW */");
    out_.appendf("if (kvr_intersend (%s, %s, %s))", ctx, value.c_str(), target.c_str());
    out_.emit_line();
    for (int failed = 1; failed >= 0; --failed) {
        if (!failed) out_.emit_line("else");
        out_.open_block();
        out_.appendf("kvr_isend (%s, %d, %d, %s, %s);", ctx, s.event_code, failed, value.c_str(), target.c_str());
        out_.emit_line();
        if (failed) failure_mark();
        out_.close_block();
    }
    out_.emit_line();
    if (d->numeric) out_.close_block();
}

void StatementWriter::write_add_id(const Entry& s) {
    const auto* d = descriptor_of<AddIdDescriptor>(s);
    const std::string slot = channel_slot(d ? d->channel : nullptr);
    if (slot.empty()) return;
    const auto* channel = descriptor_of<ChannelDescriptor>(*d->channel);
    const auto* comm = descriptor_of<CommTypeDescriptor>(*channel->comm_type);
    const std::string id_type = comm ? text_of(comm->id_type) : std::string();
    const std::string id = name_of(s);
    // A structure or union identifier is copied byte by byte.
    const bool structured = comm && comm->id_structured;
    out_.emit_line("if (" + slot + ".kvr_numberofId<KVR_K_ID_SIZE)");
    out_.open_block();
    if (structured) {
        out_.emit_line("kvr_memcpy(&(" + slot + ".kvr_connexionId[" + slot + ".kvr_numberofId]),");
        out_.emit_line("&" + id + ", sizeof (" + id_type + "));");
    } else {
        out_.emit_line(slot + ".kvr_connexionId[" + slot + ".kvr_numberofId] = " + id + ";");
    }
    out_.emit_line("++" + slot + ".kvr_numberofId;");
    out_.close_block();
    out_.emit_line("else");
    out_.open_block();
    out_.appendf("kvr_numofid(%s, %d);", kRunContext.data(), s.event_code);
    out_.emit_line();
    failure_mark();
    out_.close_block();
}

void StatementWriter::write_clear_id(const Entry& s) {
    const auto* d = descriptor_of<ClearIdDescriptor>(s);
    const std::string slot = channel_slot(d ? d->channel : nullptr);
    if (!slot.empty()) out_.emit_line(slot + ".kvr_numberofId=0;");
}

void StatementWriter::write_def_message(const Entry& s) {
    const auto* d = descriptor_of<MessageDefinitionDescriptor>(s);
    const auto* event = d && d->event ? descriptor_of<EventVariableDescriptor>(*d->event) : nullptr;
    if (!event || !event->message_type) return;
    out_.appendf("kvr_msg_%s[%d].kvr_defNumber = %d;", name_of(*event->message_type).c_str(), event->index,
                 d->number);
    out_.emit_line();
    write_list(d->sub_scope);
}

// A call temporary, with the type of the parameter or return value it holds.
void StatementWriter::write_local_declaration(const Entry& s) {
    const auto* d = descriptor_of<TemporaryDescriptor>(s);
    const auto* parameter = d && d->parameter ? descriptor_of<InterfaceParameterDescriptor>(*d->parameter) : nullptr;
    const auto* argument = d && d->argument ? descriptor_of<CallArgumentDescriptor>(*d->argument) : nullptr;
    const int code = parameter ? parameter->type_class : -1;
    long long size = parameter ? parameter->array_size : 0;
    if (argument && argument->array_size > size) size = argument->array_size;
    const std::string name = name_of(s);
    if (code == 7 && size > 0) {
        out_.emit_line(std::string(runtime_type(code)) + " " + name + "[" + std::to_string(size) + "];");
        return;
    }
    std::string type = parameter && parameter->type_text && code != 7 ? parameter->type_text : runtime_type(code);
    // A by-address argument is passed as the address of its temporary,
    // which holds what the parameter points to.
    if (argument && argument->by_address && !type.empty() && type.back() == '*') {
        type.pop_back();
        while (!type.empty() && type.back() == ' ') type.pop_back();
    }
    out_.emit_line(type + " " + name + ";");
}

// Declaration sections are written whole for every instance. An instruction
// section runs only in the instances it names; with one instance selected at
// generation, only its own sections are in the model, and any other ends the
// list.
bool ends_list(const Entry& s, const DriverSources& sources) {
    switch (s.kind) {
        case E_HEADER_INSTANCE_BEGIN: case E_DECLARATION_INSTANCE_BEGIN: case E_INSTRUCTION_INSTANCE_BEGIN: break;
        default: return false;
    }
    if (sources.model.instance_mode != InstanceMode::SelectedDeclared) return false;
    for (const Entry* r = s.next; r && r->kind == E_INSTANCE_REFERENCE; r = r->next)
        if (name_of(*r) == sources.settings.instance) return false;
    return true;
}

bool StatementWriter::write_instance_section(const Entry& s) {
    const InstanceMode mode = sources_.model.instance_mode;
    if (mode == InstanceMode::SelectedDeclared) return !ends_list(s, sources_);
    if (s.kind != E_INSTRUCTION_INSTANCE_BEGIN) return true;
    if (mode != InstanceMode::AllDeclared && mode != InstanceMode::SelectedUndeclared) return true;
    std::string guard = "if (";
    bool first = true;
    for (const Entry* r = s.next; r && r->kind == E_INSTANCE_REFERENCE; r = r->next) {
        const auto* reference = descriptor_of<InstanceReferenceDescriptor>(*r);
        const auto* instance =
            reference && reference->instance ? descriptor_of<InstanceDescriptor>(*reference->instance) : nullptr;
        if (!instance) continue;
        if (!first) guard += " || ";
        guard += "(kvr_numinstance==" + std::to_string(instance->number) + ")";
        first = false;
    }
    if (first) guard += "0";
    guard += ")";
    out_.emit_line(guard);
    out_.open_block();
    return true;
}

void StatementWriter::failure_mark() { codegen::write_failure_mark(out_); }

void StatementWriter::debug_state_declaration() { codegen::write_debug_state_declaration(out_); }

void StatementWriter::debug_state_return() { codegen::write_debug_state_return(out_); }

void StatementWriter::append_argument(Emitter& out, bool first, bool by_reference, std::string_view text) {
    if (!first) out.append(", ");
    if (by_reference) out.append("&");
    out.append(text);
}

}  // namespace zv
