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
#include "codegen/unit_lanes.h"
#include "codegen/value_lines.h"
#include "codegen/waits.h"
#include "diagnostics/report.h"
#include "driver/run_settings.h"
#include "model/semantic_model.h"

#include <memory>
#include <string>
#include <vector>

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

// A unit of the declaration walk: a root entry written whole, or a part of
// a composite scenario written apart (one statement of its list, or its own
// function), with the writer's scenario depth for it.
struct WalkUnit {
    enum class Part { Whole, Statement, Function };
    const Entry* entry;
    Part part;
    int depth;
};

// Composite scenarios down to this depth are written in parts, so that
// both lanes have work when one scenario holds the whole script.
constexpr int kPartedDepth = 3;

// The parts of a composite scenario in the order its writing makes them:
// what its list writes, statement by statement, then its own function.
void add_parts(std::vector<WalkUnit>& units, const Entry& scenario, int depth, const DriverSources& sources) {
    const Scope* list = scenario.descriptor->sub_scope;
    for (const Entry* e = list ? list->first : nullptr; e; e = e->next) {
        const bool plain = !e->filter || !*e->filter;
        if (e->kind == E_SCENARIO && plain && depth < kPartedDepth && is_selected_composite(*e)) {
            add_parts(units, *e, depth + 1, sources);
            continue;
        }
        units.push_back({e, WalkUnit::Part::Statement, depth});
        if (ends_list(*e, sources)) break;
    }
    units.push_back({&scenario, WalkUnit::Part::Function, depth});
}

// The units of the declaration walk, in order: the functions of scenarios,
// procedures, callbacks, procsends and waits, and the instance sections
// that an unknown instance mode makes report.
std::vector<WalkUnit> declaration_units(const DriverSources& sources) {
    std::vector<WalkUnit> units;
    for (const Entry* e = sources.model.root->first; e; e = e->next) {
        switch (e->kind) {
            case E_SCENARIO:
                if (is_selected_composite(*e)) add_parts(units, *e, 1, sources);
                else units.push_back({e, WalkUnit::Part::Whole, 0});
                break;
            case E_PROCEDURE:
            case E_CALLBACK:
            case E_PROCSEND: units.push_back({e, WalkUnit::Part::Whole, 0}); break;
            case E_WAIT_REFERENCE: {
                const auto* d = descriptor_of<WaitReferenceDescriptor>(e, D_WAIT_REFERENCE);
                if (d && d->wait) units.push_back({e, WalkUnit::Part::Whole, 0});
                break;
            }
            case E_HEADER_INSTANCE_BEGIN:
                switch (sources.model.instance_mode) {
                    case InstanceMode::SelectedDeclared:
                        if (foreign_section(e, sources)) return units;
                        break;
                    case InstanceMode::AllDeclared:
                    case InstanceMode::SelectedUndeclared:
                        break;
                    default:
                        // Reported in its place among the units.
                        units.push_back({e, WalkUnit::Part::Whole, 0});
                }
                break;
            default: break;
        }
    }
    return units;
}

// The generator of one lane: its own statement writer and writers of the
// other statements around the lane's emitter.
struct WalkWriter {
    WalkWriter(Emitter& out, const DriverSources& sources, const PollingOrder& order) : writer(out, sources, {}) {
        others = other_statements(out, writer, order);
        writer.set_others(others);
    }
    void write(const WalkUnit& unit) {
        if (unit.part != WalkUnit::Part::Whole) {
            writer.set_depth(unit.depth);
            if (unit.part == WalkUnit::Part::Statement) writer.write_statement(*unit.entry);
            else write_composite_function(writer, *unit.entry);
            writer.set_depth(0);
            return;
        }
        const Entry& e = *unit.entry;
        switch (e.kind) {
            case E_SCENARIO: write_scenario(writer, e); break;
            case E_PROCEDURE: others.procedure(e); break;
            case E_CALLBACK: others.callback(e); break;
            case E_PROCSEND: others.procsend(e); break;
            case E_WAIT_REFERENCE:
                write_wait_function(writer.out(), descriptor_of<WaitReferenceDescriptor>(&e, D_WAIT_REFERENCE)->wait->entry);
                break;
            case E_HEADER_INSTANCE_BEGIN: reportText(Severity::Error, Code::BADPARAMS); break;
            default: break;
        }
    }
    StatementWriter writer;
    OtherStatements others;
};

}  // namespace

void generate_driver(Emitter& out, const DriverSources& sources) {
    const SemanticModel& model = sources.model;
    write_driver_header(out, sources);
    if (!model.root) return;
    // The rest is independent units that two lanes make: first the context
    // part with the functions before the message functions, then the message
    // functions, the functions of the declaration walk in the nesting of the
    // script, and the program entry. A message function holds a part for
    // every value definition of its type and may be most of the text: the
    // units up to the last message function are taken one at a time.
    std::vector<const Entry*> message_types;
    for (const Entry* e = model.root->first; e; e = e->next)
        if (e->kind == E_MESSAGE_TYPE && has_message_functions(e)) message_types.push_back(e);
    const std::size_t first_walk_unit = 1 + message_types.size() * kMessageFunctions;
    const PollingOrder order = polling_order(model.root);
    const std::vector<WalkUnit> units = declaration_units(sources);
    const std::size_t entry_unit = first_walk_unit + units.size();
    generate_units(out, entry_unit + 1, [&](Emitter& lane) -> UnitGenerator {
        auto writer = std::make_shared<WalkWriter>(lane, sources, order);
        return [writer, &lane, &sources, &message_types, &units, first_walk_unit, entry_unit](std::size_t i) {
            if (i == 0) {
                write_context_part(lane, sources);
                lane.emit_line();
                write_init_functions(lane, sources);
                write_static_context(lane, sources.settings);
            } else if (i < first_walk_unit) {
                write_message_function(lane, message_types[(i - 1) / kMessageFunctions],
                                       static_cast<int>((i - 1) % kMessageFunctions));
            } else if (i < entry_unit) {
                writer->write(units[i - first_walk_unit]);
            } else {
                write_program_entry(lane, sources);
            }
        };
    }, first_walk_unit);
}

}  // namespace zv
