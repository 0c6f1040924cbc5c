#include "codegen/value_line_formats.h"

namespace zv {

namespace {

constexpr std::string_view kContext = "&(kvr_ctx->kvr_ctxrun),";
constexpr std::string_view kReceived = "kvr_msgrcv";

std::string_view prefix_of(ValueMode mode) {
    switch (mode) {
        case ValueMode::Display: return "var_";
        case ValueMode::Compare: return "cmp_";
        case ValueMode::ReferenceDump:
        case ValueMode::MessageDump: return "dmp_";
        case ValueMode::Assign: break;
    }
    return "";
}

// The type part of the runtime function's name.
std::string_view function_of(int type_code, int format, ValueMode mode) {
    switch (type_code) {
        case 0:
        case 2: return "int_c";
        case 3: return "long_c";
        case 1:
            if (mode == ValueMode::Compare || format == kCharacterFormat) return "char_c";
            return format == kHexadecimalFormat ? "bytetab_c" : "byte_c";
        case 4: return "float_c";
        case 5: return "double_c";
        case 6:
        case 7: return "string_c";
        case 8: return "nonil_c";
        default: return "pointer_c";
    }
}

std::string_view base_of(int type_code, int format) {
    switch (type_code) {
        case 0:
        case 2:
        case 3:
            if (format == kHexadecimalFormat) return ",KVR_P_BASE16";
            return format == kBinaryFormat ? ",KVR_P_BASE2" : ",KVR_P_BASE10";
        case 1:
            switch (format) {
                case kDecimalFormat: return ",KVR_P_BASE10";
                case kBinaryFormat: return ",KVR_P_BASE2";
                case kHexadecimalFormat: return ",KVR_P_BASE16";
                default: return ",KVR_P_BASE8";
            }
        default: return "";
    }
}

// The part of a received field's path below the message ("" for another target).
std::string_view below_received(std::string_view target) {
    return target.substr(0, kReceived.size()) == kReceived ? target.substr(kReceived.size()) : std::string_view();
}

std::string index_tail(const FieldLine& f) {
    return ", I" + std::to_string(f.depth) + ", " + std::to_string(f.bound) + " );";
}

std::string head(const FieldLine& f) {
    std::string line = "kvr_";
    line += prefix_of(f.mode);
    line += function_of(f.type_code, f.display_format, f.mode);
    line += " (";
    line += kContext;
    line += std::to_string(f.event_code) + ", ";
    return line;
}

// "1," and the bound, or "0," and a zero, each with the cast.
std::string bound_operand(std::string_view cast, const std::optional<std::string>& bound) {
    return bound ? "1," + std::string(cast) + *bound : "0," + std::string(cast) + "0";
}

}  // namespace

bool writes_markers(ValueMode mode) {
    return mode == ValueMode::Display || mode == ValueMode::ReferenceDump || mode == ValueMode::MessageDump;
}

std::string_view cast_of(int type_code) {
    switch (type_code) {
        case 0: return "(KVR_T_ENUM) ";
        case 1: return "(KVR_T_CAR) ";
        case 2: return "(KVR_T_INT) ";
        case 3: return "(KVR_T_LONG) ";
        case 4: return "(KVR_T_REAL) ";
        case 5: return "(KVR_T_DOUBLE) ";
        case 6:
        case 7: return "(KVR_PT_CAR) ";
        case 8:
        case 9: return "(KVR_PT_VOID) ";
        default: return "";
    }
}

std::string scalar_line(const FieldLine& f) {
    const std::string cast(cast_of(f.type_code));
    switch (f.mode) {
        case ValueMode::Assign:
            // A character array is filled by copy; a pointer to characters is pointed.
            if (f.type_code == 7) return "KVS_STRCPY(" + f.target + "," + f.value + ");";
            return f.target + " = " + cast + f.value + ";";
        case ValueMode::Display:
            return head(f) + cast + f.target + "," + cast + f.value + std::string(base_of(f.type_code, f.display_format)) +
                   index_tail(f);
        case ValueMode::Compare:
            return head(f) + cast + f.target + "," + cast + "kvr_msgref" + std::string(below_received(f.target)) +
                   index_tail(f);
        case ValueMode::ReferenceDump:
        case ValueMode::MessageDump: break;
    }
    return head(f) + cast + f.target + std::string(base_of(f.type_code, f.display_format)) + index_tail(f);
}

std::optional<std::vector<std::string>> range_lines(const FieldLine& f) {
    std::string_view suffix;
    switch (f.type_code) {
        case 0:
        case 2: suffix = "_int_c"; break;
        case 1: suffix = "_byte_c"; break;
        case 3: suffix = "_long_c"; break;
        case 4: suffix = "_float_c"; break;
        case 5: suffix = "_double_c"; break;
        default: return std::nullopt;
    }
    const std::string cast(cast_of(f.type_code));
    if (f.mode == ValueMode::Assign) {
        // The minimum and maximum stand beside the reference value under
        // the names kvr_Min_<variable> and kvr_Max_<variable>.
        std::vector<std::string> lines;
        if (f.lower) lines.push_back("kvr_Min_" + f.target + " = " + cast + *f.lower + ";");
        if (f.upper) lines.push_back("kvr_Max_" + f.target + " = " + cast + *f.upper + ";");
        return lines;
    }
    std::string line = "kvr_";
    std::string lower, upper;
    switch (f.mode) {
        case ValueMode::Display:
            line += "var_range";
            lower = bound_operand(cast, f.lower);
            upper = bound_operand(cast, f.upper);
            break;
        case ValueMode::Compare:
        case ValueMode::ReferenceDump: {
            line += f.mode == ValueMode::Compare ? "cmp_range" : "dmp_range";
            const std::string below(below_received(f.target));
            lower = bound_operand(cast, f.lower ? std::optional<std::string>("kvr_msgMin" + below) : std::nullopt);
            upper = bound_operand(cast, f.upper ? std::optional<std::string>("kvr_msgMax" + below) : std::nullopt);
            break;
        }
        default: return std::nullopt;
    }
    line += suffix;
    line += " (";
    line += kContext;
    line += std::to_string(f.event_code) + ", ";
    if (f.mode != ValueMode::ReferenceDump) line += cast + f.target + ",";
    line += lower + "," + upper;
    if (f.mode != ValueMode::Compare) line += base_of(f.type_code, f.display_format);
    return std::vector<std::string>{line + index_tail(f)};
}

}  // namespace zv
