#include "driver/driver.h"

#include "common/string_pool.h"
#include "diagnostics/aside_work.h"
#include "diagnostics/guarded.h"
#include "diagnostics/output_file.h"
#include "diagnostics/message_catalog.h"
#include "diagnostics/messages.h"
#include "diagnostics/run_end.h"
#include "diagnostics/sarif_log.h"
#include "driver/command_line.h"
#include "driver/file_naming.h"
#include "driver/product.h"
#include "driver/run_settings.h"
#include "driver/tool_log.h"
#include "native/native_analyser.h"
#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/generate_driver.h"
#include "codegen/probe_decoder.h"
#include "common/generation_stamp.h"
#include "outputs/callback_templates.h"
#include "outputs/event_codes.h"
#include "outputs/report_structure.h"
#include "outputs/scenario_file.h"
#include "script/parse_script.h"
#include "script/script_files.h"
#include "semantic/analysis.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <latch>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace zv {

namespace {

[[noreturn]] void brokenInstallation(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
    std::exit(255);
}

// Loads every translation file of the suite found for the system locale.
void installTranslators(QCoreApplication& app) {
    const QByteArray root = qgetenv("ZOLMEXDIR");
    if (root.isEmpty()) {
        brokenInstallation(QStringLiteral("Fatal Error: please setup ZOLMEXDIR environment variable.\n"));
    }
    const QString directory = QString::fromLocal8Bit(root) + QDir::separator() + QStringLiteral("lib") +
                              QDir::separator() + QStringLiteral("locale");
    if (!QFileInfo(directory).isDir()) {
        brokenInstallation(QStringLiteral("Fatal Error: directory doesn't exist '%1'\n").arg(directory));
    }
    const QString locale = QLocale::system().name();
    for (const char* prefix : {"kvs_", "zolmident_", "bibli_", "modbas_", "anaccpp_", "cab_", "zerizevar_"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(prefix) + locale, directory)) {
            app.installTranslator(translator);
        } else {
            delete translator;
        }
    }
}

AnalysisOptions analysisOptions(const RunSettings& settings, CommModel commModel) {
    AnalysisOptions options;
    options.families = settings.families;
    options.excluded_families = settings.excluded_families;
    options.scenarios = settings.scenarios;
    options.excluded_scenarios = settings.excluded_scenarios;
    options.fast = settings.fast;
    options.trace = settings.trace;
    options.comm_model = commModel;
    options.instance = settings.instance;
    options.restriction = settings.restriction;
    return options;
}

native::AnalyserOptions analyserOptions(const RunSettings& settings) {
    native::AnalyserOptions options;
    options.restriction = settings.restriction;
    options.include_dirs = settings.include_dirs;
    options.defines = settings.defines;
    if (!settings.std_define.empty()) options.std_define_path = standardDefinesPath(settings.std_define);
    options.interface_files = settings.interface_files;
    return options;
}

// ZERIZEVAR_SARIF names a file that also receives every diagnostic of the run
// from here on, the failure to create the listing file included.
void startSarifFromEnvironment() {
    const QByteArray path = qgetenv("ZERIZEVAR_SARIF");
    if (path.isEmpty()) return;
    const QString title = programTitle(), version = versionString();
    startSarifLog(path.toStdString(),
                  {title.toLocal8Bit().toStdString(), version.toLocal8Bit().toStdString(),
                   QStringLiteral("%1 %2 %3").arg(suiteName(), title, version).toLocal8Bit().toStdString()});
}

void writeStartLines() {
    reportInformation(Code::STARTEXEC, suiteName(),
                      QStringLiteral(" %1 %2").arg(programTitle(), versionString()));
    reportInformation(Code::COPYRIGHT, legalNotice(), QString());
}

// An output whose text is made beside the caller, in pieces that may come
// before the caller has opened the file: those are kept until it has.
class PiecesToFile {
public:
    void piece(std::string&& text) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (file_) file_->write(std::move(text));
        else kept_ += text;
    }
    void open(OutputFile& file) {
        const std::lock_guard<std::mutex> lock(mutex_);
        file_ = &file;
        if (!kept_.empty()) file.write(std::move(kept_));
    }
    // The last piece, once the work is joined, and the end of the file.
    void close(std::string&& rest) {
        file_->write(std::move(rest));
        file_->close();
    }
    TextPieces taker() {
        return [this](std::string&& text) { piece(std::move(text)); };
    }

private:
    std::mutex mutex_;
    OutputFile* file_ = nullptr;
    std::string kept_;
};

// Counts a latch down however the scope is left.
class CountDownOnExit {
public:
    explicit CountDownOnExit(std::latch& latch) : latch_(latch) {}
    ~CountDownOnExit() { latch_.count_down(); }
    CountDownOnExit(const CountDownOnExit&) = delete;
    CountDownOnExit& operator=(const CountDownOnExit&) = delete;

private:
    std::latch& latch_;
};

// The output passes of a clean run, in their fixed order: the event codes
// (TDC file, probe header), the report structure, then the C file and the
// callback templates. Each reads the model only.
void writeOutputs(const RunSettings& settings, const std::string& script, const std::string& instance,
                  const ParseResult& parsed, SemanticModel& model, ToolLog& toolLog) {
    const bool probe = settings.probe != ProbeMode::None;
    const std::string tdc = tdcFilePath(settings.root);
    const std::string header = probeHeaderPath(settings.root);
    toolLog.create();
    toolLog.record("TDC", tdc);
    if (probe) toolLog.record("_H_", header);

    const std::string date = generation_date();
    const EventCodeSources sources{script,
                                   parsed.files,
                                   settings.echo,
                                   date,
                                   generation_process_id(),
                                   versionString().toStdString(),
                                   instance,
                                   model.instance_mode,
                                   settings.trace,
                                   settings.probe,
                                   working_directory()};
    // The numbers of the TDC and report-structure files go into the model
    // first: the C generator quotes them. Without a probe header, which the
    // generator continues, the two texts are then made beside the generator:
    // the table's started where it stands in the sequence so that its reports
    // keep their place; the report structure's, which numbers the reports
    // itself, right after the report numbers on their thread, while the
    // event codes are stored.
    OutputFile* probeHeader = nullptr;
    PiecesToFile table, structureFile;
    EventCodeTexts codes;
    std::string structure;
    std::latch numbersStored(1);  // outlives the work that counts it down
    std::optional<AsideWork> reportNumbers, tableText;
    if (probe) {
        probeHeader = write_event_codes(tdc, header, sources, model);
    } else {
        // The report numbers are other fields of the same entries.
        reportNumbers.emplace([&] {
            {
                const CountDownOnExit stored(numbersStored);
                store_report_numbers(parsed.files, model.root);
            }
            structure = report_structure_text(parsed.files, model.root, date, sources.process_id,
                                              structureFile.taker());
        });
        store_event_codes(sources, model);
        tableText.emplace([&] { codes = event_code_texts(sources, model, table.taker()); });
        table.open(OutputFile::open(tdc));
    }

    const std::string tsf = reportStructurePath(settings.root);
    toolLog.record("TSF", tsf);
    if (probe) write_report_structure(tsf, parsed.files, instance, model.instance_mode, model, date);
    else structureFile.open(OutputFile::open(tsf));
    if (reportNumbers) numbersStored.wait();

    // The C file: the test driver, or under -PROBE the probe decoder, after
    // which the generator ends the probe header with its own part.
    const std::string c = cDriverPath(settings.root);
    toolLog.record("SRC", c);
    OutputFile& file = OutputFile::open(c);
    Emitter out(file);
    const DriverSources driver{settings, parsed.files, model, c, traceFileName(settings.root), date,
                               versionString().toStdString(), sources.process_id};
    if (probeHeader) {
        Emitter tail(*probeHeader);
        write_probe_header_tail(tail, model, settings.probe);
        tail.flush();
        probeHeader->close();
        write_probe_decoder(out, driver, header);
    } else {
        generate_driver(out, driver);
    }
    out.flush();
    file.close();
    if (tableText) {
        tableText->join();
        table.close(std::move(codes.table));
    }
    if (reportNumbers) {
        reportNumbers->join();
        structureFile.close(std::move(structure));
    }

    if (parsed.comm_model == CommModel::Trigger)
        writeCallbackTemplates(cDriverPath(settings.root), settings.interface_files, model.root);
}

// Everything of a run after the translations: command line, listing file,
// the phases and their outputs, up to the end of the run.
[[noreturn]] void runPhases(int argc, char** argv) {
    std::string echo;
    if (!analyseCommandLine(argc, argv, echo)) reportFatal(Code::COMMFATAL);
    // From here on, memory exhausted ends the run with the "malloc" notice (the
    // command analysis has its own message for it).
    installAllocationGuard();
    echo = cutEcho(std::move(echo));

    const std::string script = scriptFilePath(scriptPathSetting());
    const std::string listing = listingFilePath(scriptPathSetting());
    startSarifFromEnvironment();
    openListingFile(listing.c_str(), consoleEchoSetting());
    writeStartLines();

    const RunSettings settings = readRunSettings(std::move(echo));
    string_pool();

    ToolLog toolLog(settings.tool_log);

    // Phase sequence. Each phase runs only while no error has been counted:
    //   interface-file analysis (standard defines, then each interface file),
    //   script parse,
    //   semantic analysis, then either the scenario file (-SPVGEN) or
    //   the output passes.
    // Interface-file analysis: the standard-defines file, then each interface
    // file, through the analyser's own include search.
    auto native = native::analyse_interfaces(analyserOptions(settings));

    // Script parse: the driver owns the tree and the file list for the run.
    // After a clean interface analysis, the semantic analysis walks each
    // outermost scenario item as soon as the parser has built it. The tree
    // is declared first: on the way out of a failure, the analysis is
    // stopped before the tree it reads goes.
    ParseResult parsed;
    std::optional<BesideParse> beside;
    if (errorCount() == 0) beside.emplace(analysisOptions(settings, CommModel::None), *native);
    parsed = parse_script(script, settings.include_dirs, settings.keep_comments, beside ? &*beside : nullptr);

    // Semantic analysis, only after a clean parse; the driver owns the model.
    SemanticModel model;
    std::string instance = settings.instance;
    if (errorCount() == 0 && parsed.root) {
        if (beside && beside->started())
            model = beside->finish(parsed);
        else
            model = analyse_script(parsed.root, parsed.files, analysisOptions(settings, parsed.comm_model), *native);
        beside.reset();
        // The outputs read the model only: the tree and the interface analysis
        // are given back before they are written, which keeps the peak low.
        parsed.root = nullptr;
        parsed.tree.reset();
        native.reset();
        // With -SPVGEN the scenario file follows, whatever the analysis reported.
        if (settings.scenario_file) {
            toolLog.create();
            const std::string spg = scenarioFilePath(settings.script_path);
            // The log names the derived path, directory included; the writer
            // itself puts the file in the working directory.
            toolLog.record("SPG", spg);
            write_scenario_file(spg, parsed.files, model.root);
        }
        // When -INSTANCE names no declared instance, the generators get no
        // instance name.
        if (model.instance_mode == InstanceMode::SelectedUndeclared) instance.clear();
        if (errorCount() == 0 && !settings.scenario_file)
            writeOutputs(settings, script, instance, parsed, model, toolLog);
    }

    // The analyser answers type questions until the semantic analysis is done
    // (work beside a failed parse is dropped first).
    beside.reset();
    native.reset();

    toolLog.close();
    finishRun(false);
}

// How a run ends inside runInProcess.
struct RunEnded {
    int status;
};

[[noreturn]] void throwRunEnded(int status) { throw RunEnded{status}; }

}  // namespace

int runCompiler(int argc, char** argv) {
    // Qt keeps a reference to the count for the application's lifetime.
    static int qtArgc = argc > 0 ? 1 : 0;
    QCoreApplication app(qtArgc, argv);

    installTranslators(app);
    registerMessageCatalog();
    runPhases(argc, argv);
}

int runInProcess(const std::vector<std::string>& args) {
    registerMessageCatalog();
    // The tables of pooled texts are made once; each run's own texts go.
    static const StringPool::Mark kPoolMark = [] {
        native::build_pooled_tables();
        return string_pool().mark();
    }();
    string_pool().roll_back(kPoolMark);
    resetReportState();
    resetCommandLine();
    discardPendingOutputs();

    std::vector<std::string> own = args;
    std::vector<char*> argv;
    for (std::string& arg : own) argv.push_back(arg.data());
    argv.push_back(nullptr);
    setRunEndHandler(throwRunEnded);
    int status = 0;
    try {
        runPhases(static_cast<int>(own.size()), argv.data());
    } catch (const RunEnded& end) {
        status = end.status;
    }
    setRunEndHandler(nullptr);
    return status;
}

}  // namespace zv
