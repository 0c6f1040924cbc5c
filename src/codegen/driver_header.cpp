#include "codegen/driver_header.h"

#include "codegen/c_text.h"
#include "codegen/emitter.h"
#include "driver/run_settings.h"

namespace zv {

void write_driver_header(Emitter& out, const DriverSources& sources) {
    out.emit_line();
    out.emit_line("/*");
    out.appendf(" * KORVA Kestrun %s, preprocessor C", sources.version.c_str());
    out.emit_line();
    out.appendf(" * file name: %s", c_comment_text(sources.c_path).c_str());
    out.emit_line();
    out.appendf(" * date: %s", sources.date.c_str());
    out.emit_line();
    out.emit_line(" */");
    out.emit_line();
    out.emit_line();

    // USE_KVS is forced to 1 whatever the compiler command line said, before
    // the runtime header reads it.
    out.emit_ifdef("USE_KVS");
    out.emit_undef("USE_KVS");
    out.emit_endif();
    out.emit_define("USE_KVS", "1");
    out.emit_line("#include \"TP.h\"");

    // The names as the settings hold them: base names only under -NOPATH.
    for (const std::string& header : sources.settings.interface_files) {
        out.appendf("#include \"%s\"", header.c_str());
        out.emit_line();
        out.emit_line();
    }
}

}  // namespace zv
