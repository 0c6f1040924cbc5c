// WAITTIL in the generated driver: the wait function kvr_WAIT_<n> that
// advances the logical wait clock tick by tick while evaluating the OK and KO
// conditions, and the wait statement: the default and connection checks, the
// polling loop over the callbacks of the channels the wait listens on, the
// comparison of received messages with the expected ones, the state checks
// and the verdict.
#pragma once

namespace zv {

class Emitter;
struct Entry;
struct Scope;

// The wait function of a wait entry, from level 0.
void write_wait_function(Emitter& out, const Entry* wait);

// The wait statement at the current level. `root` is the model's root scope,
// whose communication types, channels and message types give the polling
// order.
void write_wait_statement(Emitter& out, const Entry* wait, const Scope* root);

}  // namespace zv
