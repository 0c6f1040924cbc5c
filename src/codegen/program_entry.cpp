#include "codegen/program_entry.h"

#include "codegen/c_text.h"
#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/generator_common.h"
#include "common/generation_stamp.h"
#include "diagnostics/report.h"
#include "driver/run_settings.h"
#include "model/semantic_model.h"

#include <string>
#include <vector>

namespace zv {

namespace {

using namespace codegen;

constexpr const char* kTracectx = "kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctx";
constexpr const char* kFirstInstance = "(kvr_numinstance == 1)";

class EntryWriter {
public:
    EntryWriter(Emitter& out, const DriverSources& sources)
        : out_(out), s_(sources), settings_(sources.settings), mode_(sources.model.instance_mode) {
        for (const Entry* e = root() ? root()->first : nullptr; e; e = e->next) {
            if (e->kind == E_INSTANCE) instances_.push_back(e->name ? e->name : "");
            last_ = e;
        }
        thread_ = settings_.thread_routine != "<main>";
        buffer_ = number(settings_.trace) > 0 && settings_.buffer_size > 0
                      ? static_cast<long long>(settings_.buffer_size) * 1024
                      : 0;
    }

    void write() {
        head();
        out_.open_block();
        locals();
        context();
        trace_context();
        out_.appendf("kvr_set_trace_functions ( %s );", kCtx);
        out_.emit_line();
        out_.emit_line("kvr_ctx->kvr_ctxrun.kvr_ctxflagprobe = 0;");
        out_.appendf("kvr_numinstance = %d;", s_.model.selected_position);
        out_.emit_line();
        out_.emit_line("kvr_testernaming[0] = '\\0';");
        if (thread_) thread_arguments();
        else main_arguments();
        last_argument();
        out_.emit_line("kvr_initctx ( kvr_ctx );");
        const bool scenario = last_ && last_->kind == E_SCENARIO;
        if (!scenario) {
            const std::string kind = std::to_string(last_ ? last_->kind : -1);
            reportText(Severity::Error, Code::ENTCODUNK, kind.c_str());
        }
        out_.emit_line("J0 = 1;");
        notification();
        if (scenario) run();
        if (buffer_ > 0) {
            out_.appendf("kvr_flush_circular_buffer (%s, K_TRACECTX_MAX_PRIORITY);", kCtx);
            out_.emit_line();
        }
        shut_down();
        out_.close_block();
    }

private:
    const Scope* root() const { return s_.model.root; }

    std::string quoted(const std::string& text) const { return "\"" + c_string_body(text) + "\""; }

    // "date pid", the identification text of this compilation.
    std::string identification() const {
        return quoted(s_.date + " " + std::to_string(s_.process_id));
    }

    void head() {
        if (!thread_) {
            out_.emit_line("KVR_T_INT main KVR_DP (( argc, argv )) KVR_BP");
            out_.emit_line("KVR_CONST KVR_T_INT argc KVR_SP");
            out_.emit_line("KVR_CONST KVR_PT_CAR * argv KVR_EP");
            return;
        }
        const std::string& name = settings_.thread_routine;
        if (!instances_.empty()) {
            std::string table = "char * " + name + "_Table[] = {";
            for (std::size_t i = 0; i < instances_.size(); ++i) table += (i ? "," : "") + quoted(instances_[i]);
            out_.emit_line(table + "};");
            out_.appendf("int %s_TableLen = %zu;", name.c_str(), instances_.size());
            out_.emit_line();
            out_.emit_line();
            out_.emit_line();
        }
        out_.appendf("KVR_T_THREAD_RETURN  %s KVR_DP ((arg)) KVR_BP", name.c_str());
        out_.emit_line();
        out_.emit_line("KVR_CONST KVR_PT_ARG arg KVR_EP");
    }

    void locals() {
        if (settings_.allocation == Allocation::Stack) {
            out_.emit_line("KVR_T_CTX kvr_ctxst;");
            if (buffer_ > 0) {
                out_.appendf("KVR_T_CAR kvr_ctxbuffertracest[%lld];", buffer_);
                out_.emit_line();
            }
        }
        out_.emit_line("KVR_PT_CTX kvr_ctx;");
        out_.emit_line("KVR_PT_CAR rio_file_name = " + quoted(s_.rio_name) + ";");
        out_.emit_line("char argRioFileName[255];");
        out_.emit_line("char lstflt[255];");
        out_.emit_line("#if KVS_DYNFLW");
        out_.emit_line("char tstnaming[255];");
        out_.emit_line("#endif /* KVS_DYNFLW */");
        out_.emit_line();
        out_.emit_line("KVR_T_INT kvr_local_state = 0;");
        out_.emit_line("KVR_PT_CAR instance_name = (KVR_PT_CAR) 0;");
        if (mode_ == InstanceMode::SelectedDeclared)
            out_.emit_line("char fixed_instance[255] = " + quoted(settings_.instance) + ";");
    }

    void context() {
        if (settings_.allocation == Allocation::Dynamic) {
            out_.emit_line("kvr_ctx = (KVR_PT_CTX) kvr_malloc(sizeof(KVR_T_CTX));");
            if (buffer_ > 0) {
                out_.appendf("%sbuffertrace = (KVR_PT_CAR) kvr_malloc(sizeof(KVR_T_CAR)*(%lld)) ;", kTracectx, buffer_);
                out_.emit_line();
            }
        } else {
            out_.emit_line("kvr_ctx = &kvr_ctxst;");
            if (buffer_ > 0) {
                out_.appendf("%sbuffertrace = kvr_ctxbuffertracest;", kTracectx);
                out_.emit_line();
            }
        }
    }

    void trace_context() {
        if (buffer_ == 0) {
            out_.appendf("%stracepriority = 0;", kTracectx);
            out_.emit_line();
            return;
        }
        out_.appendf("%sbuffersize = %lld;", kTracectx, buffer_);
        out_.emit_line();
        out_.appendf("%sbuffersizeleft = %lld;", kTracectx, buffer_);
        out_.emit_line();
        out_.appendf("%stracepriority = %d;", kTracectx, number(settings_.trace));
        out_.emit_line();
        for (const char* member : {"currentline", "linetoerase", "lastline"}) {
            out_.appendf("%s%s= %sbuffertrace;", kTracectx, member, kTracectx);
            out_.emit_line();
        }
    }

    // Lines "if (X) {", body, "}" with a one-line body.
    void guarded(const std::string& condition, const std::string& line) {
        out_.emit_line(condition);
        out_.open_block();
        out_.emit_line(line);
        out_.close_block();
    }

    void filter_letters() {
        if (settings_.filter_letters.empty()) return;
        out_.emit_line("KVS_STRCAT ( lstflt, " + quoted(settings_.filter_letters) + " );");
    }

    void instance_numbering() {
        out_.emit_line("if (instance_name)");
        out_.open_block();
        out_.emit_line("/* Computing index of executed instance */");
        for (std::size_t i = 0; i < instances_.size(); ++i) {
            guarded("if (kvr_strcmp (" + quoted(instances_[i]) + ", instance_name) == 0)",
                    "kvr_numinstance = " + std::to_string(i + 2) + ";");
        }
        out_.close_block();
    }

    void tester_naming() {
        guarded("if (instance_name)",
                "kvr_sprintf (kvr_testernaming, \"%s_%d\", instance_name, KVR_OCCID);");
        guarded("else", "kvr_sprintf (kvr_testernaming, \"%s_%d\", rio_file_name, KVR_OCCID);");
    }

    void thread_arguments() {
        guarded("if ( arg->kvr_filters )", "KVS_STRCPY ( lstflt, arg->kvr_filters );");
        filter_letters();
        guarded("if ( arg->kvr_instance )", "instance_name =  arg->kvr_instance;");
        instance_numbering();
        out_.emit_line("KVR_OCCID = arg->kvr_occid;");
        tester_naming();
        const std::string args = std::string(" ") + kCtx + ", arg->kvr_riofilename, lstflt, !" + kFirstInstance +
                                 ", 0, instance_name, KVR_OCCID, " + identification() + ",";
        trace_opening("kvr_initrio_with_dynamicfollowing (" + args, "kvr_initrio_no_dynamicfollowing (" + args);
    }

    // The main form under run-time instance selection separates the two calls by a bare "#else".
    void trace_opening(const std::string& with, const std::string& without,
                       const char* separator = "#else /* KVS_DYNFLW */") {
        out_.emit_line("#if KVS_DYNFLW");
        out_.emit_line(with);
        out_.emit_line(separator);
        out_.emit_line(without);
        out_.emit_line("#endif /* KVS_DYNFLW */");
    }

    // One argument parser of the main form for an option at position p.
    void parser(int p, const char* upper, const char* lower, const std::string& action, bool filters) {
        const int length = static_cast<int>(std::string(upper).size());
        out_.appendf("if ( argc > %d )", p);
        out_.emit_line();
        out_.open_block();
        out_.appendf("if ((kvr_strncmp(argv[%d], \"%s\", %d) == 0) || (kvr_strncmp(argv[%d], \"%s\", %d) == 0))", p,
                     upper, length, p, lower, length);
        out_.emit_line();
        out_.open_block();
        out_.appendf(action.c_str(), p, length);
        out_.emit_line();
        out_.close_block();
        if (filters) {
            out_.emit_line("else");
            out_.open_block();
            out_.appendf("if (!(argv[%d][0]=='-'))", p);
            out_.emit_line();
            out_.open_block();
            out_.appendf("KVS_STRCPY ( lstflt, argv[%d] );", p);
            out_.emit_line();
            out_.close_block();
            out_.close_block();
        }
        out_.close_block();
        out_.emit_line();
    }

    void main_arguments() {
        switch (mode_) {
            case InstanceMode::NoInstances:
                break;
            case InstanceMode::SelectedDeclared:
                out_.emit_line("instance_name = fixed_instance;");
                break;
            case InstanceMode::AllDeclared:
            case InstanceMode::SelectedUndeclared:
                for (int p = 1; p <= 3; ++p)
                    parser(p, "-INSTANCE=", "-instance=", "instance_name = &(argv[%d][%d]);", false);
                instance_numbering();
                break;
            default:
                reportText(Severity::Error, Code::BADPARAMS);
        }
        out_.emit_line("KVR_OCCID = 0;");
        for (int p = 1; p <= 3; ++p) parser(p, "-OCCID=", "-occid=", "KVR_OCCID = atoi(&argv[%d][%d]);", false);
        out_.emit_line("lstflt[0] = '\\0';");
        for (int p = 1; p <= 3; ++p) parser(p, "-RIO=", "-rio=", "rio_file_name = &(argv[%d][%d]);", true);
        out_.emit_line("if ((rio_file_name[0] != '\\0') && (kvr_strstr (rio_file_name, \".rio\") == NULL))");
        out_.open_block();
        out_.emit_line("KVS_STRCPY (argRioFileName, rio_file_name);");
        out_.emit_line("KVS_STRCAT (argRioFileName, \".rio\");");
        out_.emit_line("rio_file_name = argRioFileName;");
        out_.close_block();
        tester_naming();
        filter_letters();
        out_.emit_line();
        const std::string id = identification();
        if (mode_ == InstanceMode::AllDeclared || mode_ == InstanceMode::SelectedUndeclared) {
            const std::string rest = std::string(kCtx) + ",rio_file_name, lstflt, !" + kFirstInstance + ", " +
                                     kFirstInstance + ", instance_name, KVR_OCCID, " + id + ",";
            trace_opening("kvr_initrio_with_dynamicfollowing( " + rest, "kvr_initrio_no_dynamicfollowing ( " + rest,
                          "#else");
        } else {
            const std::string rest =
                std::string(kCtx) + ",rio_file_name, lstflt, 1, 0, instance_name, KVR_OCCID, " + id + ",";
            trace_opening("kvr_initrio_with_dynamicfollowing ( " + rest, "kvr_initrio_no_dynamicfollowing ( " + rest,
                          "#else");
        }
    }

    void last_argument() {
        out_.emit_ifdef("KVR_KESTRUN_DEBUG");
        out_.emit_line("\"D\");");
        out_.emit_else();
        out_.emit_line("\"\");");
        out_.emit_endif();
    }

    void notification() {
        out_.emit_line("#if KVS_DYNFLW");
        out_.open_block();
        out_.emit_line("kvr_sprintf (tstnaming, \"\\\"%s\\\"\", kvr_testernaming);");
        out_.emit_line(
            "if (priv_boot_tagtlk( &(kvr_tagtsocket), instance_name, tstnaming, &(kvr_tagttimeout), "
            "&(kvr_tagtcommactivated)) )");
        out_.open_block();
        out_.emit_line("KVS_EXIT (1);");
        out_.close_block();
        out_.emit_line("else");
        out_.open_block();
        const long date_sum = date_character_sum(s_.date);
        for (int i = 1; const ScriptFileRecord* f = file_with_index(s_.files, i); ++i) {
            out_.appendf("kvr_notify_tsf (%s, %d, %ld, %ld);", kCtx, i, f->identity_key,
                         date_sum + s_.process_id + static_cast<long>(f->checksum));
            out_.emit_line();
            out_.appendf("/* To_spv: %d -> (%ld,%d) - %s -*/", i, f->length, static_cast<int>(f->checksum),
                         c_comment_text(f->name).c_str());
            out_.emit_line();
        }
        out_.close_block();
        out_.close_block();
        out_.emit_line();
        out_.appendf("kvr_declare_ni_tsf (%s, %d);", kCtx, last_ && last_->kind == E_SCENARIO ? last_->file_index : 0);
        out_.emit_line();
        out_.emit_line("#endif /* KVS_DYNFLW */");
        out_.emit_line();
    }

    void run() {
        const int end = last_->end_code, n = last_->event_code;
        out_.appendf("kvr_startchronomarkloop ( %s,%d, %d , %d, J%d, \"\", 0, 0);", kCtx, end, n, 0, 0);
        out_.emit_line();
        out_.appendf("kvr_local_state = kvr_S%d (kvr_ctx);", n);
        out_.emit_line();
        out_.appendf("kvr_stopchronomarkloop ( %s,kvr_local_state, %d, %d, J%d, \"\", 0, 0);", kCtx, end, 0, 0);
        out_.emit_line();
    }

    void shut_down() {
        out_.appendf("kvr_end (%s);", kCtx);
        out_.emit_line();
        out_.emit_line("#if KVS_DYNFLW");
        out_.appendf("kvr_endoftester_tagtlk ( %s );", kCtx);
        out_.emit_line();
        out_.emit_line("priv_close_tagtlk ( &(kvr_tagtsocket) );");
        out_.emit_line("#endif /* KVS_DYNFLW */");
        out_.emit_line();
        if (settings_.allocation == Allocation::Dynamic) {
            if (buffer_ > 0) {
                out_.appendf("kvr_free( (KVR_PT_VOID) %sbuffertrace );", kTracectx);
                out_.emit_line();
            }
            out_.emit_line("kvr_free((KVR_PT_VOID) kvr_ctx);");
        }
        if (thread_) {
            out_.emit_line("kvr_thr_exit ((kvr_local_state != 0));");
        } else {
            out_.emit_line("KVS_EXIT ((kvr_local_state != 0));");
            out_.emit_return("0");
        }
    }

    Emitter& out_;
    const DriverSources& s_;
    const RunSettings& settings_;
    InstanceMode mode_;
    std::vector<std::string> instances_;
    const Entry* last_ = nullptr;
    bool thread_ = false;
    long long buffer_ = 0;
};

}  // namespace

void write_program_entry(Emitter& out, const DriverSources& sources) { EntryWriter(out, sources).write(); }

}  // namespace zv
