#include "semantic/analysis.h"

#include "common/heap.h"
#include "common/large_stack.h"
#include "common/string_pool.h"
#include "diagnostics/report.h"
#include "diagnostics/run_end.h"
#include "native/native_analyser.h"
#include "semantic/walk.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>

namespace zv {

namespace {

// The file-level variables of each script file, in file order, as the
// context of -NOTSHARED takes them in.
std::vector<GlobalVariable> script_globals(const std::vector<ScriptFileRecord>& files,
                                           native::NativeAnalyser& native) {
    std::vector<GlobalVariable> globals;
    for (int index = 1;; ++index) {
        const ScriptFileRecord* file = file_with_index(files, index);
        if (!file) return globals;
        for (const native::NativeGlobal& g : native.globals_declared_in(file->name))
            globals.push_back({index, g.name, g.type.declaration("kvr_ctx" + g.name)});
    }
}

}  // namespace

SemanticModel analyse_script(const Node* root, const std::vector<ScriptFileRecord>& files,
                             const AnalysisOptions& options, native::NativeAnalyser& native) {
    SemanticModel model;
    model.tables = std::make_unique<SemanticTables>();
    run_with_stack(kDeepWorkStack, [&] {
        semantic::Walk walk(*model.tables, options, native);
        walk.run(root, model);
    });
    model.globals = script_globals(files, native);
    return model;
}


struct BesideParse::State final : semantic::ItemFeed {
    State(const AnalysisOptions& given, native::NativeAnalyser& analyser) : options(given), native(analyser) {}

    // Thrown to the walk when the parse failed: the work is dropped.
    struct Abandoned {};

    // Asked for the next item, the walk is done with those before: their
    // nodes are released.
    const Node* next_item() override {
        if (next > 0) tree->release_nodes_before(taken[next - 1].made);
        if (next < taken.size()) return taken[next++].node;
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            if (abandoned) throw Abandoned{};
            if (!items.empty()) {
                taken.clear();
                taken.swap(items);
                next = 1;
                return taken[0].node;
            }
            if (ended) return nullptr;
            waiting = true;
            changed.wait(lock);
            waiting = false;
        }
    }
    const Node* outermost() const override { return parsed_outermost; }

    void run() {
        ReportHold hold;
        try {
            model.tables = std::make_unique<SemanticTables>();
            semantic::Walk walk(*model.tables, options, native);
            walk.run_fed(header, declarations, *this, model);
        } catch (const HeldRunEnd&) {
            // The end is among the held lines.
        } catch (const Abandoned&) {
        } catch (...) {
            thrown = std::current_exception();
        }
        held = hold.release();
        const std::lock_guard<std::mutex> lock(mutex);
        walked = true;
        changed.notify_all();
    }

    // Tells the walk that no item comes any more: the parse ended, or failed.
    void close(bool failed, const Node* outermost_node) {
        const std::lock_guard<std::mutex> lock(mutex);
        ended = true;
        abandoned = failed;
        parsed_outermost = outermost_node;
        changed.notify_one();
    }

    // Waits for the walk, readying its memory meanwhile.
    void wait_walked() {
        std::unique_lock<std::mutex> lock(mutex);
        while (!walked) {
            lock.unlock();
            prepare_pages_ahead();
            lock.lock();
            changed.wait_for(lock, std::chrono::milliseconds(1), [&] { return walked; });
        }
    }

    // Waits for the walk; the pool is the walk's alone from here.
    void join() {
        string_pool().set_shared(false);
        thread.join();
        at_work.reset();
    }

    AnalysisOptions options;
    native::NativeAnalyser& native;
    const Node* header = nullptr;
    const Node* declarations = nullptr;
    SemanticModel model;
    HeldReports held;
    std::exception_ptr thrown;
    std::optional<HelperAtWork> at_work;
    StackThread thread;
    bool running = false;

    std::mutex mutex;
    std::condition_variable changed;
    struct Item {
        const Node* node;
        std::size_t made;  // nodes made up to its end
    };
    SyntaxTree* tree = nullptr;
    std::vector<Item> items;  // given by the parser, not yet taken
    bool waiting = false;            // the walk waits for an item
    bool ended = false;
    bool abandoned = false;
    bool walked = false;             // the walk is over
    const Node* parsed_outermost = nullptr;

    // The walk's own: the items taken, and the next to give.
    std::vector<Item> taken;
    std::size_t next = 0;
};

BesideParse::BesideParse(const AnalysisOptions& options, native::NativeAnalyser& native)
    : state_(std::make_unique<State>(options, native)) {}

BesideParse::~BesideParse() { abandon(); }

void BesideParse::abandon() {
    State& s = *state_;
    if (!s.running) return;
    s.close(true, nullptr);
    s.join();
    s.running = false;
}

void BesideParse::opening(const Node* header, const Node* declarations, CommModel comm_model, SyntaxTree& tree) {
    State& s = *state_;
    if (s.running) return;
    s.tree = &tree;
    s.header = header;
    s.declarations = declarations;
    s.options.comm_model = comm_model;
    s.at_work.emplace();
    string_pool().set_shared(true);
    if (s.thread.start(kDeepWorkStack, [&s] { s.run(); })) {
        s.running = true;
        return;
    }
    // No thread: the analysis runs after the parse.
    string_pool().set_shared(false);
    s.at_work.reset();
}

void BesideParse::item(const Node* item, std::size_t made) {
    State& s = *state_;
    if (!s.running) return;
    {
        const std::lock_guard<std::mutex> lock(s.mutex);
        s.items.push_back({item, made});
        if (s.waiting) s.changed.notify_one();
    }
    // The parser runs ahead of the walk: it readies the walk's memory.
    prepare_pages_ahead();
}

bool BesideParse::started() const { return state_->running; }

SemanticModel BesideParse::finish(const ParseResult& parsed) {
    State& s = *state_;
    const Node* items = parsed.root ? parsed.root->scenario_items() : nullptr;
    s.close(false, items ? items->item() : nullptr);
    s.wait_walked();
    s.join();
    s.running = false;
    if (HeldReports held = std::move(s.held)) replayHeldReports(*held);
    if (s.thrown) std::rethrow_exception(s.thrown);
    s.model.globals = script_globals(parsed.files, s.native);
    return std::move(s.model);
}

}  // namespace zv
