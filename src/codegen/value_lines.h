// Value lines: the generated lines that assign, display (VAR), compare with a
// received message or dump a structured value, one per scalar field, written
// by walking a value entry tree along the C type of what it describes, with
// the array, structure and slice markers and the index loops between them.
#pragma once

#include "codegen/value_line_formats.h"
#include "model/type_layout.h"

#include <string>

namespace zv {

class Emitter;
struct Entry;

struct ValueWalk {
    ValueMode mode = ValueMode::Display;
    const Entry* root = nullptr;     // an E_VALUE entry with its codes stored
    LayoutRef type;                  // C type of the root's target, as the analysis kept it
    std::string target;              // C lvalue of the root: the variable, or kvr_msgrcv
    std::string message_type;        // the message type of a message function, for union selectors
    int display_format = kDecimalFormat;
};

// The walk of a VAR value (display mode) or of a message type's value in its
// message function: the target is the root's name, or kvr_msgrcv for the
// message type. The type is the layout the analysis kept with the root.
ValueWalk variable_walk(const Entry* root, ValueMode mode);
ValueWalk message_walk(const Entry* root, const std::string& message_type, ValueMode mode);

// The lines of the value with the frame of its mode: a VAR check in display
// mode, kvr_var around a dump, nothing around assignment and comparison.
void write_value_lines(Emitter& out, const ValueWalk& walk);

}  // namespace zv
