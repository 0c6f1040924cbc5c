// Scenario state functions of the test driver: a leaf scenario runs its
// statements, a composite scenario runs each selected sub-scenario (repeated
// as its count says) between its INITIALIZATION, EXCEPTION and TERMINATION
// blocks and reports every step to the runtime. Every function is written
// before the function that calls it.
#pragma once

#include <string>

namespace zv {

struct Entry;
class StatementWriter;

// Writes the function kvr_S<n> of a selected scenario, after the functions
// of its blocks and sub-scenarios; an unselected scenario writes nothing.
void write_scenario(StatementWriter& writer, const Entry& scenario);

// The same in parts, for writing them apart: whether the scenario is a
// selected composite, and its own function, which follows what its list
// writes (the writer at the depth inside the scenario).
bool is_selected_composite(const Entry& scenario);
void write_composite_function(StatementWriter& writer, const Entry& scenario);

// Writes the function of an inline INITIALIZATION, TERMINATION or EXCEPTION
// block; a block that names a procedure has no function of its own.
void write_block_function(StatementWriter& writer, const Entry& block);

// The name of the function that runs a block: the procedure it names, or
// kvr_i<n>, kvr_t<n>, kvr_e<n> after the scenario n that owns it.
std::string block_function_name(const Entry& block);

}  // namespace zv
