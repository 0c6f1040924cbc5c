// The generated line of one scalar field of a value: its runtime function by
// mode, native type code and display format, the operand casts, the base
// argument and the trailing index and bound; and the lines of a field that
// expects a range of values. The tree walk over values lives in value_lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// The mode codes the walker is given.
enum class ValueMode : int { Assign = 112, Display = 113, Compare = 135, ReferenceDump = 144, MessageDump = 145 };

// Display formats of integers and characters; any other number shows
// integers in decimal and characters as octal bytes.
enum DisplayFormat : int {
    kHexadecimalFormat = 0,
    kDecimalFormat = 1,
    kBinaryFormat = 2,
    kCharacterFormat = 6,
};

// Whether the mode writes the array, structure and slice markers.
bool writes_markers(ValueMode mode);

// "(KVR_T_INT) " and its sisters; empty for structured and unknown codes.
std::string_view cast_of(int type_code);

// One scalar field as the walk reaches it.
struct FieldLine {
    ValueMode mode = ValueMode::Display;
    int event_code = 0;
    int type_code = 0;                    // native type code of the field (8 for an expected NONIL)
    int display_format = kDecimalFormat;
    std::string target;                   // C lvalue of the field
    std::string value;                    // expected value (assignment, display)
    std::optional<std::string> lower;     // bounds of an expected range
    std::optional<std::string> upper;
    int depth = 0;                        // array depth, 0 outside arrays
    long long bound = -1;                 // -1 for a named field, else the upper index of its loop
};

// The line of a scalar field in its mode.
std::string scalar_line(const FieldLine& field);
// The lines of a range field (none, one or two in assignment); nothing when a
// range is not allowed for the type or the mode.
std::optional<std::vector<std::string>> range_lines(const FieldLine& field);

}  // namespace zv
