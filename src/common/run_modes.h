// The small settings of a run that several phases read, as named values instead
// of bare numbers. The numbers are the ones other tools and the generated files
// see (a trace level is written into the driver), so each value is explicit.
#pragma once

namespace zv {

// -RESTRICTION: the C dialect the interface headers are read in.
enum class Restriction : int { KandR = 0, Ansi = 1, None = 2 };

// -TRACE: the trace level (0 without the option).
enum class TraceLevel : int { None = 0, Error = 5, Scenario = 10, Time = 20, Circular = 50 };

// -PROBE
enum class ProbeMode : int { None = 0, Default = 1, Custom = 2 };

// -ALLOCATION (given without a value it means STACK)
enum class Allocation : int { None = 0, Stack = 1, Dynamic = 2 };

// How instances are treated: chosen from -INSTANCE and the script's DECLARE_INSTANCE lists.
enum class InstanceMode : int {
    NoInstances = 0,       // no -INSTANCE, no declared instance
    SelectedDeclared = 1,  // -INSTANCE names a declared instance
    AllDeclared = 2,       // no -INSTANCE, instances declared
    SelectedUndeclared = 3 // -INSTANCE names no declared instance
};

// The script's communication dialect, as bits: COMMTYPE was used, TRIGGER was used.
enum class CommModel : unsigned { None = 0, CommType = 1, Trigger = 2, Both = 3 };

constexpr CommModel operator|(CommModel a, CommModel b) {
    return static_cast<CommModel>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool has(CommModel set, CommModel bit) {
    return (static_cast<unsigned>(set) & static_cast<unsigned>(bit)) != 0;
}

constexpr int number(Restriction v) { return static_cast<int>(v); }
constexpr int number(TraceLevel v) { return static_cast<int>(v); }
constexpr int number(ProbeMode v) { return static_cast<int>(v); }
constexpr int number(Allocation v) { return static_cast<int>(v); }
constexpr int number(InstanceMode v) { return static_cast<int>(v); }
constexpr unsigned number(CommModel v) { return static_cast<unsigned>(v); }

}  // namespace zv
