#include "codegen/generate_driver.h"

#include "codegen/context_part.h"
#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/generator_common.h"
#include "codegen/init_functions.h"
#include "codegen/message_functions.h"
#include "codegen/procedures.h"
#include "codegen/program_entry.h"
#include "codegen/scenarios.h"
#include "codegen/statements.h"
#include "codegen/value_lines.h"
#include "codegen/waits.h"
#include "common/large_stack.h"
#include "diagnostics/report.h"
#include "driver/run_settings.h"
#include "model/semantic_model.h"

#include <string>

namespace zv {

namespace {

using namespace codegen;

// The writers of the statements that have units of their own.
OtherStatements other_statements(Emitter& out, StatementWriter& writer, const PollingOrder& order) {
    const ListWriter lists = [&writer](const Entry* first, const Entry* stop) {
        for (; first && first != stop; first = first->next) writer.write_statement(*first);
    };
    OtherStatements others;
    others.call = [&out](const Entry& call) {
        const auto* d = descriptor_of<CallDescriptor>(&call, D_CALL);
        if (d && d->procedure) write_procedure_call(out, &call);
        else if (d && d->function) write_function_call(out, &call);
    };
    others.wait = [&out, &order](const Entry& wait) { write_wait_statement(out, &wait, order); };
    others.send = [&out](const Entry& send) { write_send(out, &send); };
    others.var = [&out](const Entry& value) {
        const auto* d = descriptor_of<ValueDescriptor>(&value, D_VALUE);
        // An initial value and the expected message of a DEF_MESSAGE are
        // assigned; an expected value is displayed and checked.
        const bool assigned = d && (d->use == ValueUse::Initial || d->use == ValueUse::ExpectedMessage);
        const ValueMode mode = assigned ? ValueMode::Assign : ValueMode::Display;
        write_value_lines(out, variable_walk(&value, mode));
    };
    others.interrecv = [&out](const Entry& e) { write_interrecv(out, &e); };
    others.procedure = [&out, lists](const Entry& e) { write_procedure_function(out, &e, lists); };
    others.callback = [&out, lists](const Entry& e) { write_callback_function(out, &e, lists); };
    others.procsend = [&out, lists](const Entry& e) { write_procsend_function(out, &e, lists); };
    return others;
}

// Under the single-instance mode an instance section of another instance
// ends the declaration walk.
bool foreign_section(const Entry* section, const DriverSources& sources) {
    for (const Entry* r = section->next; r && r->kind == E_INSTANCE_REFERENCE; r = r->next)
        if (r->name && sources.settings.instance == r->name) return false;
    return true;
}

void declaration_walk(StatementWriter& writer, const DriverSources& sources, OtherStatements& others) {
    Emitter& out = writer.out();
    for (const Entry* e = sources.model.root->first; e; e = e->next) {
        switch (e->kind) {
            case E_SCENARIO: write_scenario(writer, *e); break;
            case E_PROCEDURE: others.procedure(*e); break;
            case E_CALLBACK: others.callback(*e); break;
            case E_PROCSEND: others.procsend(*e); break;
            case E_WAIT_REFERENCE: {
                const auto* d = descriptor_of<WaitReferenceDescriptor>(e, D_WAIT_REFERENCE);
                if (d && d->wait) write_wait_function(out, d->wait->entry);
                break;
            }
            case E_HEADER_INSTANCE_BEGIN:
                switch (sources.model.instance_mode) {
                    case InstanceMode::SelectedDeclared:
                        if (foreign_section(e, sources)) return;
                        break;
                    case InstanceMode::AllDeclared:
                    case InstanceMode::SelectedUndeclared:
                        break;
                    default:
                        reportText(Severity::Error, Code::BADPARAMS);
                }
                break;
            default: break;
        }
    }
}

}  // namespace

void generate_driver(Emitter& out, const DriverSources& sources) {
    const SemanticModel& model = sources.model;
    write_driver_header(out, sources);
    if (!model.root) return;
    write_context_part(out, sources);
    out.emit_line();
    write_init_functions(out, sources);
    write_static_context(out, sources.settings);
    for (const Entry* e = model.root->first; e; e = e->next)
        if (e->kind == E_MESSAGE_TYPE) write_message_functions(out, e);

    StatementWriter writer(out, sources, {});
    const PollingOrder order = polling_order(model.root);
    OtherStatements others = other_statements(out, writer, order);
    writer.set_others(others);
    // The functions follow the nesting of the script.
    run_with_stack(kDeepWorkStack, [&] { declaration_walk(writer, sources, others); });
    write_program_entry(out, sources);
}

}  // namespace zv
