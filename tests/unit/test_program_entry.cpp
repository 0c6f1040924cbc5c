// The entry of the generated driver: the whole main form of a script without
// instances; the thread form with its instance table, the stack and the
// dynamic context with a circular trace buffer, the instance modes' argument
// handling and the notification block of a script with an include file.
#include "codegen/driver_header.h"
#include "codegen/emitter.h"
#include "codegen/program_entry.h"
#include "driver/run_settings.h"
#include "outputs/event_codes.h"
#include "test_semantic_support.h"

namespace zv::test {
namespace {

const char* kDate = "Thu Jan  1 00:00:00 1970";  // character sum 640

// The entry of an analysed, numbered script; `first` receives the script's
// own file record (its identity depends on the scratch directory).
std::string entry_of(const std::string& script, RunSettings settings = {}, AnalysisOptions options = {},
                     const std::vector<std::pair<std::string, std::string>>& more = {},
                     ScriptFileRecord* first = nullptr) {
    if (settings.thread_routine.empty()) settings.thread_routine = "<main>";
    Analysed a = analyse_text(script, "", options, more);
    EXPECT_EQ(a.errors, 0u) << a.messages;
    if (!a.model.root) return {};
    if (first) *first = a.parsed.files.front();
    number_events({"t.zod", a.parsed.files, "", kDate, 7, "1.0.0", "", a.model.instance_mode, settings.trace,
                   ProbeMode::None, ""},
                  a.model);
    std::string text;
    Emitter out(text);
    write_program_entry(out, {settings, a.parsed.files, a.model, "t.c", "out/t.rio", kDate, "1.0.0", 7});
    EXPECT_EQ(out.level(), 0);
    return text;
}

// Parser of one option at one argument position, as the main form writes it.
std::string parser(int p, const std::string& upper, const std::string& lower, const std::string& action) {
    const std::string n = std::to_string(p), l = std::to_string(upper.size());
    return "  if ( argc > " + n + " )\n   {\n    if ((kvr_strncmp(argv[" + n + "], \"" + upper + "\", " + l +
           ") == 0) || (kvr_strncmp(argv[" + n + "], \"" + lower + "\", " + l + ") == 0))\n     {\n      " + action +
           "\n     }\n   }\n  \n";
}

const std::string kScript = "HEADER \"a\", \"b\", \"c\"\n# int z;\nSCENARIO A\nEXIT\nEND SCENARIO\n";

TEST(ProgramEntry, MainFormOfAScriptWithoutInstances) {
    std::string occid, rio;
    for (int p = 1; p <= 3; ++p) {
        occid += parser(p, "-OCCID=", "-occid=", "KVR_OCCID = atoi(&argv[" + std::to_string(p) + "][7]);");
        const std::string n = std::to_string(p);
        rio += "  if ( argc > " + n + " )\n   {\n    if ((kvr_strncmp(argv[" + n + "], \"-RIO=\", 5) == 0) || " +
               "(kvr_strncmp(argv[" + n + "], \"-rio=\", 5) == 0))\n     {\n      rio_file_name = &(argv[" + n +
               "][5]);\n     }\n    else\n     {\n      if (!(argv[" + n + "][0]=='-'))\n       {\n" +
               "        KVS_STRCPY ( lstflt, argv[" + n + "] );\n       }\n     }\n   }\n  \n";
    }
    // Codes: E7, the outermost scenario S8..S12 around A (S9, Q10, S11).
    // Key of file 1: 640 (date) + 7 (process id) + its checksum.
    ScriptFileRecord f;
    const std::string text = entry_of(kScript, {}, {}, {}, &f);
    const std::string expected =
        "KVR_T_INT main KVR_DP (( argc, argv )) KVR_BP\n"
        "KVR_CONST KVR_T_INT argc KVR_SP\n"
        "KVR_CONST KVR_PT_CAR * argv KVR_EP\n"
        " {\n"
        "  KVR_PT_CTX kvr_ctx;\n"
        "  KVR_PT_CAR rio_file_name = \"out/t.rio\";\n"
        "  char argRioFileName[255];\n"
        "  char lstflt[255];\n"
        "#if KVS_DYNFLW\n"
        "  char tstnaming[255];\n"
        "#endif /* KVS_DYNFLW */\n"
        "  \n"
        "  KVR_T_INT kvr_local_state = 0;\n"
        "  KVR_PT_CAR instance_name = (KVR_PT_CAR) 0;\n"
        "  kvr_ctx = &kvr_ctxst;\n"
        "  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxtracepriority = 0;\n"
        "  kvr_set_trace_functions ( &(kvr_ctx->kvr_ctxrun) );\n"
        "  kvr_ctx->kvr_ctxrun.kvr_ctxflagprobe = 0;\n"
        "  kvr_numinstance = 1;\n"
        "  kvr_testernaming[0] = '\\0';\n"
        "  KVR_OCCID = 0;\n" +
        occid + "  lstflt[0] = '\\0';\n" + rio +
        "  if ((rio_file_name[0] != '\\0') && (kvr_strstr (rio_file_name, \".rio\") == NULL))\n"
        "   {\n"
        "    KVS_STRCPY (argRioFileName, rio_file_name);\n"
        "    KVS_STRCAT (argRioFileName, \".rio\");\n"
        "    rio_file_name = argRioFileName;\n"
        "   }\n"
        "  if (instance_name)\n"
        "   {\n"
        "    kvr_sprintf (kvr_testernaming, \"%s_%d\", instance_name, KVR_OCCID);\n"
        "   }\n"
        "  else\n"
        "   {\n"
        "    kvr_sprintf (kvr_testernaming, \"%s_%d\", rio_file_name, KVR_OCCID);\n"
        "   }\n"
        "  \n"
        "#if KVS_DYNFLW\n"
        "  kvr_initrio_with_dynamicfollowing ( &(kvr_ctx->kvr_ctxrun),rio_file_name, lstflt, 1, 0, instance_name, "
        "KVR_OCCID, \"Thu Jan  1 00:00:00 1970 7\",\n"
        "#else\n"
        "  kvr_initrio_no_dynamicfollowing ( &(kvr_ctx->kvr_ctxrun),rio_file_name, lstflt, 1, 0, instance_name, "
        "KVR_OCCID, \"Thu Jan  1 00:00:00 1970 7\",\n"
        "#endif /* KVS_DYNFLW */\n"
        "#ifdef KVR_KESTRUN_DEBUG\n"
        "  \"D\");\n"
        "#else\n"
        "  \"\");\n"
        "#endif\n"
        "  kvr_initctx ( kvr_ctx );\n"
        "  J0 = 1;\n"
        "#if KVS_DYNFLW\n"
        "   {\n"
        "    kvr_sprintf (tstnaming, \"\\\"%s\\\"\", kvr_testernaming);\n"
        "    if (priv_boot_tagtlk( &(kvr_tagtsocket), instance_name, tstnaming, &(kvr_tagttimeout), "
        "&(kvr_tagtcommactivated)) )\n"
        "     {\n"
        "      KVS_EXIT (1);\n"
        "     }\n"
        "    else\n"
        "     {\n"
        "      kvr_notify_tsf (&(kvr_ctx->kvr_ctxrun), 1, " + std::to_string(f.identity_key) + ", " +
        std::to_string(647 + f.checksum) + ");\n"
        "      /* To_spv: 1 -> (" + std::to_string(f.length) + "," + std::to_string(f.checksum) + ") - t.zod -*/\n"
        "     }\n"
        "   }\n"
        "  \n"
        "  kvr_declare_ni_tsf (&(kvr_ctx->kvr_ctxrun), 1);\n"
        "#endif /* KVS_DYNFLW */\n"
        "  \n"
        "  kvr_startchronomarkloop ( &(kvr_ctx->kvr_ctxrun),12, 8 , 0, J0, \"\", 0, 0);\n"
        "  kvr_local_state = kvr_S8 (kvr_ctx);\n"
        "  kvr_stopchronomarkloop ( &(kvr_ctx->kvr_ctxrun),kvr_local_state, 12, 0, J0, \"\", 0, 0);\n"
        "  kvr_end (&(kvr_ctx->kvr_ctxrun));\n"
        "#if KVS_DYNFLW\n"
        "  kvr_endoftester_tagtlk ( &(kvr_ctx->kvr_ctxrun) );\n"
        "  priv_close_tagtlk ( &(kvr_tagtsocket) );\n"
        "#endif /* KVS_DYNFLW */\n"
        "  \n"
        "  KVS_EXIT ((kvr_local_state != 0));\n"
        "  return ( 0 );\n"
        " }\n";
    EXPECT_EQ(text, expected);
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ProgramEntry, ThreadFormWithInstancesAndAStackContext) {
    RunSettings settings;
    settings.thread_routine = "demo_start";
    settings.allocation = Allocation::Stack;
    settings.trace = TraceLevel::Circular;
    settings.buffer_size = 10;
    settings.filter_letters = "AB";
    const std::string text =
        entry_of("HEADER \"a\", \"b\", \"c\"\nDECLARE_INSTANCE Alice, Bob\nSCENARIO A\nEXIT\nEND SCENARIO\n",
                 settings);
    EXPECT_EQ(text.substr(0, text.find(" {\n")),
              "char * demo_start_Table[] = {\"Alice\",\"Bob\"};\nint demo_start_TableLen = 2;\n\n\n"
              "KVR_T_THREAD_RETURN  demo_start KVR_DP ((arg)) KVR_BP\nKVR_CONST KVR_PT_ARG arg KVR_EP\n");
    for (const char* line :
         {"  KVR_T_CTX kvr_ctxst;\n  KVR_T_CAR kvr_ctxbuffertracest[10240];\n",
          "  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxbuffertrace = kvr_ctxbuffertracest;\n"
          "  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxbuffersize = 10240;\n"
          "  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxbuffersizeleft = 10240;\n"
          "  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxtracepriority = 50;\n"
          "  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxcurrentline= "
          "kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxbuffertrace;\n",
          "  if ( arg->kvr_filters )\n   {\n    KVS_STRCPY ( lstflt, arg->kvr_filters );\n   }\n"
          "  KVS_STRCAT ( lstflt, \"AB\" );\n  if ( arg->kvr_instance )\n   {\n"
          "    instance_name =  arg->kvr_instance;\n   }\n  if (instance_name)\n   {\n"
          "    /* Computing index of executed instance */\n"
          "    if (kvr_strcmp (\"Alice\", instance_name) == 0)\n     {\n      kvr_numinstance = 2;\n     }\n"
          "    if (kvr_strcmp (\"Bob\", instance_name) == 0)\n     {\n      kvr_numinstance = 3;\n     }\n   }\n"
          "  KVR_OCCID = arg->kvr_occid;\n",
          "  kvr_initrio_with_dynamicfollowing ( &(kvr_ctx->kvr_ctxrun), arg->kvr_riofilename, lstflt, "
          "!(kvr_numinstance == 1), 0, instance_name, KVR_OCCID, \"Thu Jan  1 00:00:00 1970 7\",\n",
          "  kvr_flush_circular_buffer (&(kvr_ctx->kvr_ctxrun), K_TRACECTX_MAX_PRIORITY);\n",
          "  kvr_thr_exit ((kvr_local_state != 0));\n }\n"})
        EXPECT_TRUE(has(text, line)) << line;
    EXPECT_FALSE(has(text, "return ( 0 );"));
    EXPECT_FALSE(has(text, "kvr_malloc"));
}

TEST(ProgramEntry, DynamicContextIsAllocatedAndFreed) {
    RunSettings settings;
    settings.allocation = Allocation::Dynamic;
    settings.trace = TraceLevel::Error;
    settings.buffer_size = 2;
    const std::string text = entry_of(kScript, settings);
    EXPECT_TRUE(has(text, "  kvr_ctx = (KVR_PT_CTX) kvr_malloc(sizeof(KVR_T_CTX));\n"
                          "  kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxbuffertrace = (KVR_PT_CAR) "
                          "kvr_malloc(sizeof(KVR_T_CAR)*(2048)) ;\n"));
    EXPECT_TRUE(has(text, "  kvr_free( (KVR_PT_VOID) kvr_ctx->kvr_ctxrun.kvr_ctxtracectx.kvr_ctxbuffertrace );\n"
                          "  kvr_free((KVR_PT_VOID) kvr_ctx);\n"));
    EXPECT_FALSE(has(text, "kvr_ctxst"));
}

TEST(ProgramEntry, InstanceModesOfTheMainForm) {
    const std::string script =
        "HEADER \"a\", \"b\", \"c\"\nDECLARE_INSTANCE Alice, Bob\nSCENARIO A\nEXIT\nEND SCENARIO\n";
    const std::string chosen = "kvr_initrio_no_dynamicfollowing ( &(kvr_ctx->kvr_ctxrun),rio_file_name, lstflt, "
                               "!(kvr_numinstance == 1), (kvr_numinstance == 1), instance_name,";
    struct Case {
        const char* instance;
        const char* default_number;
        bool fixed, parsed;
    } cases[] = {{"Bob", "  kvr_numinstance = 2;\n", true, false},
                 {"", "  kvr_numinstance = 1;\n", false, true},
                 {"Carol", "  kvr_numinstance = 1;\n", false, true}};
    for (const Case& c : cases) {
        RunSettings settings;
        settings.instance = c.instance;
        AnalysisOptions options;
        options.instance = c.instance;
        const std::string text = entry_of(script, settings, options);
        EXPECT_TRUE(has(text, c.default_number)) << c.instance;
        EXPECT_EQ(has(text, "  char fixed_instance[255] = \"Bob\";\n"), c.fixed) << c.instance;
        EXPECT_EQ(has(text, "  instance_name = fixed_instance;\n"), c.fixed) << c.instance;
        EXPECT_EQ(has(text, parser(3, "-INSTANCE=", "-instance=", "instance_name = &(argv[3][10]);")), c.parsed)
            << c.instance;
        EXPECT_EQ(has(text, chosen), c.parsed) << c.instance;
    }
}

TEST(ProgramEntry, NotificationListsEveryFileAndEscapesOddNames) {
    RunSettings settings;
    const std::string text = entry_of("HEADER \"a\", \"b\", \"c\"\nINCLUDE \"in*/c.zod\"\nSCENARIO A\nEXIT\nEND SCENARIO\n",
                                      settings, {}, {{"in*/c.zod", "# int x;\n"}});
    EXPECT_TRUE(has(text, "      kvr_notify_tsf (&(kvr_ctx->kvr_ctxrun), 2, "));
    EXPECT_TRUE(has(text, ") - in* /c.zod -*/\n"));
}

}  // namespace
}  // namespace zv::test
