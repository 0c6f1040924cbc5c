#include "outputs/scenario_file.h"

#include "diagnostics/output_file.h"
#include "diagnostics/paths.h"
#include "model/semantic_tables.h"
#include "model/semantic_model.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace zv {

namespace {

struct Holder {
    const Entry* scenario = nullptr;   // scenario whose own body holds the entry
    const Entry* procedure = nullptr;  // procedure whose body holds it
    const Entry* block = nullptr;      // INITIALIZATION/TERMINATION/EXCEPTION block
};

struct CallRecord {
    const Entry* call;
    const Entry* procedure;  // the procedure whose body holds the call, or null
};

struct RendezvousRecord {
    const Entry* entry;
    Holder holder;
    std::string scenario_name;
};

using InstanceSet = std::vector<const Entry*>;  // instance entries, declaration order

bool isInstanceBlockEnd(int kind) {
    return kind == E_HEADER_INSTANCE_END || kind == E_DECLARATION_INSTANCE_END || kind == E_INSTRUCTION_INSTANCE_END;
}
std::string nameOf(const Entry* e) { return e && e->name ? e->name : ""; }

class Collector {
public:
    explicit Collector(const Scope* root) : root_(root) {}

    ScenarioFileContent run() {
        walk(root_, Holder{}, "");
        ScenarioFileContent content;
        for (const Entry* i : instances_) content.instances.push_back(nameOf(i));
        content.top_level = topLevel_;
        for (const RendezvousRecord& r : rendezvous_) content.rendezvous.push_back(describe(r));
        return content;
    }

private:
    // One scope being walked: its next entry, what holds its entries, the
    // qualified name of the enclosing scenario, the list its scenarios join,
    // and the scenario it is the body of (moved into `into` when done).
    struct Frame {
        Frame(const Entry* first, Holder h, std::string p, std::vector<SpgScenario>* list = nullptr,
              std::unique_ptr<SpgScenario> scenario = nullptr, std::vector<SpgScenario>* target = nullptr)
            : next(first), holder(h), path(std::move(p)), siblings(list), node(std::move(scenario)), into(target) {}
        const Entry* next;
        Holder holder;
        std::string path;
        std::vector<SpgScenario>* siblings;
        std::unique_ptr<SpgScenario> node;
        std::vector<SpgScenario>* into;
    };

    // Walks the scopes in entry order, each nested scope where it stands, as
    // a recursive walk would; scenarios and control structures nest as deep
    // as a script does, so the frames are kept on a stack of our own.
    void walk(const Scope* root, Holder holder, const std::string& path) {
        std::vector<Frame> frames;
        frames.push_back(Frame(root ? root->first : nullptr, holder, path));
        while (!frames.empty()) {
            const Entry* e = frames.back().next;
            if (!e) {
                Frame done = std::move(frames.back());
                frames.pop_back();
                if (done.node && done.into) done.into->push_back(std::move(*done.node));
                continue;
            }
            frames.back().next = e->next;
            const Frame& at = frames.back();
            const Scope* body = e->descriptor ? e->descriptor->sub_scope : nullptr;
            const Entry* first = body ? body->first : nullptr;
            switch (e->kind) {
                case E_INSTANCE:
                    instanceNumber_[e] = static_cast<int>(instances_.size());
                    instances_.push_back(e);
                    break;
                case E_SCENARIO: {
                    const std::string own = nameOf(e);
                    const std::string qualified = at.path.empty() ? own : at.path + "." + own;
                    Holder inner;
                    inner.scenario = e;
                    if (own.empty() && !at.siblings) {
                        // The outermost scenario: its sub-scenarios are the top level.
                        frames.push_back(Frame(first, inner, qualified, &topLevel_));
                        break;
                    }
                    auto node = std::make_unique<SpgScenario>();
                    node->name = own;
                    node->qualified_name = qualified;
                    node->file = e->file ? e->file : "";
                    node->line = e->line;
                    const auto* scenario = e->descriptor && e->descriptor->code == D_SCENARIO
                                               ? static_cast<const ScenarioDescriptor*>(e->descriptor)
                                               : nullptr;
                    if (const Scope* families = scenario ? scenario->families : nullptr) {
                        for (const Entry* f = families->first; f; f = f->next) {
                            if (f->kind == E_FAMILY) node->families.push_back(nameOf(f));
                        }
                    }
                    scenarioNames_[e] = qualified;
                    std::vector<SpgScenario>* into = at.siblings;
                    std::vector<SpgScenario>* children = &node->children;
                    frames.push_back(Frame(first, inner, qualified, children, std::move(node), into));
                    break;
                }
                case E_PROCEDURE: {
                    procedures_.push_back(e);
                    Holder inner;
                    inner.procedure = e;
                    frames.push_back(Frame(first, inner, at.path));
                    break;
                }
                case E_INITIALIZATION:
                case E_TERMINATION:
                case E_EXCEPTION: {
                    if (e->name) blockProcedures_.insert(e->name);
                    Holder inner = at.holder;
                    inner.scenario = nullptr;
                    inner.block = e;
                    frames.push_back(Frame(first, inner, at.path));
                    break;
                }
                case E_CALL:
                    calls_.push_back({e, at.holder.procedure});
                    break;
                case E_RENDEZVOUS:
                    rendezvous_.push_back(
                        {e, at.holder, at.holder.scenario ? scenarioNames_[at.holder.scenario] : ""});
                    break;
                default: {
                    // Control structures: their bodies belong to the same holder.
                    const std::vector<const Scope*> nested = controlledScopes(e);
                    const Holder same = at.holder;
                    const std::string path_here = at.path;
                    for (auto it = nested.rbegin(); it != nested.rend(); ++it) {
                        if (!*it) continue;
                        controlOwner_[*it] = e;
                        frames.push_back(Frame((*it)->first, same, path_here));
                    }
                    break;
                }
            }
        }
    }

    // Instances of a position: the instance references of the INSTANCE block
    // that holds the entry, or every instance of the script.
    InstanceSet instancesAt(const Entry* entry) const {
        std::set<const Entry*> found;
        for (const Entry* e = entry->previous; e; e = e->previous) {
            if (isInstanceBlockEnd(e->kind)) break;
            if (e->kind == E_INSTANCE_REFERENCE) {
                if (const Entry* instance = referencedInstance(e)) found.insert(instance);
            } else if (!found.empty()) {
                break;
            }
        }
        // An entry nested in a control structure takes the instances of the
        // structure's own position.
        if (found.empty()) {
            auto owner = controlOwner_.find(entry->scope);
            if (owner != controlOwner_.end()) return instancesAt(owner->second);
            return instances_;
        }
        return ordered(found);
    }

    const Entry* referencedInstance(const Entry* reference) const {
        for (const Entry* i : instances_) {
            if (nameOf(i) == nameOf(reference)) return i;
        }
        return nullptr;
    }

    InstanceSet ordered(const std::set<const Entry*>& set) const {
        InstanceSet out(set.begin(), set.end());
        std::sort(out.begin(), out.end(),
                  [&](const Entry* a, const Entry* b) { return instanceNumber_.at(a) < instanceNumber_.at(b); });
        return out;
    }

    static InstanceSet intersect(const InstanceSet& a, const InstanceSet& b) {
        InstanceSet out;
        for (const Entry* x : a) {
            if (std::find(b.begin(), b.end(), x) != b.end()) out.push_back(x);
        }
        return out;
    }

    // Scopes of instructions owned by an IF, WHILE, CASE or WHEN entry.
    static std::vector<const Scope*> controlledScopes(const Entry* e) {
        const Descriptor* d = e->descriptor;
        if (!d) return {};
        switch (e->kind) {
            case E_IF: return {d->sub_scope, static_cast<const IfDescriptor*>(d)->else_part};
            case E_WHILE:
            case E_CASE: return {d->sub_scope};
            case E_WHEN: return {static_cast<const WhenDescriptor*>(d)->instructions};
            default: return {};
        }
    }

    InstanceSet callSet(const CallRecord& call) const {
        InstanceSet set = instancesAt(call.call);
        if (call.procedure) set = intersect(set, instancesAt(call.procedure));
        return set;
    }

    SpgRendezvous describe(const RendezvousRecord& r) const {
        SpgRendezvous out;
        out.name = nameOf(r.entry);
        out.file = r.entry->file ? r.entry->file : "";
        out.line = r.entry->line;
        InstanceSet members;
        if (r.holder.procedure) {
            out.holder = SpgRendezvous::Holder::Procedure;
            out.holder_name = nameOf(r.holder.procedure);
            const std::string name = nameOf(r.holder.procedure);
            std::vector<const CallRecord*> calls;
            for (const CallRecord& c : calls_) {
                if (nameOf(c.call) == name) calls.push_back(&c);
            }
            const bool used = !calls.empty() || blockProcedures_.count(name);
            if (used) {
                members = intersect(instancesAt(r.entry), instancesAt(r.holder.procedure));
                if (!calls.empty()) {
                    std::set<const Entry*> united;
                    for (const CallRecord* c : calls) {
                        for (const Entry* i : intersect(members, callSet(*c))) united.insert(i);
                    }
                    members = ordered(united);
                }
            }
        } else {
            out.holder = r.holder.scenario ? SpgRendezvous::Holder::Scenario : SpgRendezvous::Holder::Block;
            out.holder_name = r.scenario_name;
            members = instancesAt(r.entry);
        }
        for (const Entry* m : members) out.members.push_back(nameOf(m));
        return out;
    }

    const Scope* root_;
    InstanceSet instances_;
    std::map<const Entry*, int> instanceNumber_;
    std::vector<SpgScenario> topLevel_;
    std::vector<const Entry*> procedures_;
    std::vector<CallRecord> calls_;
    std::set<std::string> blockProcedures_;
    std::vector<RendezvousRecord> rendezvous_;
    std::map<const Entry*, std::string> scenarioNames_;
    std::map<const Scope*, const Entry*> controlOwner_;
};

}  // namespace

ScenarioFileContent collect_scenario_file(const Scope* root) { return Collector(root).run(); }

void write_scenario_file(const std::string& spg_path, const std::vector<ScriptFileRecord>& files,
                         const Scope* root) {
    OutputFile& out = OutputFile::open(fileNameOf(spg_path));
    out.write(format_scenario_file(spg_path, files, collect_scenario_file(root)));
    out.close();
}

}  // namespace zv
