// The three functions a message type gets in the generated driver:
// kvr_<T>_ref_msg traces the reference a wait expects (the DEF_MESSAGE value
// selected by the variable's definition number), kvr_<T>_cmp_msg compares a
// received message with it and keeps the verdict in the variable's state,
// kvr_<T>_dump_msg traces a received or sent message field by field.
#pragma once

namespace zv {

class Emitter;
struct Entry;

// Whether the type gets its reference and comparison functions, and its dump
// function: every message type with events does, since the waits and sends
// of the script call them for every such type.
bool has_message_functions(const Entry* message_type);

// The functions of one message type, from level 0.
void write_message_functions(Emitter& out, const Entry* message_type);

// One of them alone: 0 reference, 1 comparison, 2 dump.
inline constexpr int kMessageFunctions = 3;
void write_message_function(Emitter& out, const Entry* message_type, int which);

}  // namespace zv
