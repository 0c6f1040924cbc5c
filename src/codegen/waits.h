// WAITTIL in the generated driver: the wait function kvr_WAIT_<n> that
// advances the logical wait clock tick by tick while evaluating the OK and KO
// conditions, and the wait statement: the default and connection checks, the
// polling loop over the callbacks of the channels the wait listens on, the
// comparison of received messages with the expected ones, the state checks
// and the verdict.
#pragma once

#include <vector>

namespace zv {

class Emitter;
struct Entry;
struct Scope;

// The communication types, channels and message types of the root scope, in
// declaration order: the order in which every wait polls. Gathered once per
// driver, since the root scope holds an entry per wait.
struct PollingOrder {
    std::vector<const Entry*> comm_types;
    std::vector<const Entry*> channels;
    std::vector<const Entry*> message_types;
};
PollingOrder polling_order(const Scope* root);

// The wait function of a wait entry, from level 0.
void write_wait_function(Emitter& out, const Entry* wait);

// The wait statement at the current level.
void write_wait_statement(Emitter& out, const Entry* wait, const PollingOrder& order);

}  // namespace zv
