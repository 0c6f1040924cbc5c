// Script functions of the generated driver besides scenarios, and the
// statements that reach them: procedure functions and their CALLs, the
// callbacks that receive messages for the wait loops, the procsends that SEND
// offers a message to once per connection id, and INTERRECV. Statement lists
// inside their bodies are written by the statement generator, handed in.
#pragma once

#include <functional>

namespace zv {

class Emitter;
struct Entry;

// Writes the statements of one list from `first` up to, not including,
// `stop` (null: to the end of the list).
using ListWriter = std::function<void(const Entry* first, const Entry* stop)>;

// Functions, from level 0; nothing for one that is not used.
void write_procedure_function(Emitter& out, const Entry* procedure, const ListWriter& statements);
void write_callback_function(Emitter& out, const Entry* callback, const ListWriter& statements);
void write_procsend_function(Emitter& out, const Entry* procsend, const ListWriter& statements);

// Statements, at the current level.
void write_procedure_call(Emitter& out, const Entry* call);
// A CALL of an interface function: inputs, the call, the checks of what
// comes back and the verdict.
void write_function_call(Emitter& out, const Entry* call);
void write_send(Emitter& out, const Entry* send);
void write_interrecv(Emitter& out, const Entry* interrecv);

}  // namespace zv
