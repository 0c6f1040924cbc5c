// The analysed program handed from the semantic walk to the generators: the
// semantic tables with the root scope, the descriptor kinds of the walk's
// entries (one small struct each, with its fixed descriptor code), and the
// three numbers that code generation needs besides the model.
#pragma once

#include "common/run_modes.h"
#include "model/semantic_tables.h"

#include <memory>
#include <string>
#include <vector>

namespace zv {

// Descriptor codes of the walk. Codes that release refuses (106, 119..124,
// 129, 147, 148, 150) are left unused here on purpose.
enum DescriptorCode : int {
    D_PROGRAM = 101,
    D_INSTANCE = 102,
    D_INSTANCE_REFERENCE = 103,
    D_SCENARIO = 104,
    D_BLOCK = 105,  // INITIALIZATION, TERMINATION, EXCEPTION
    D_PROCEDURE = 107,
    D_PROCEDURE_PARAMETER = 108,
    D_CALL = 109,
    D_CALL_ARGUMENT = 110,
    D_IF = 111,
    D_WHILE = 112,
    D_CASE = 113,
    D_WHEN = 114,
    D_TIMER = 115,
    D_PRINT = 116,
    D_RENDEZVOUS = 117,
    D_CLEANUP = 118,
    D_FILTER_LETTERS = 125,  // SET, UNSET
    D_COMM_TYPE = 126,
    D_CHANNEL = 127,
    D_MESSAGE_TYPE = 128,
    D_EVENT_VARIABLE = 130,
    D_CALLBACK = 131,
    D_PROCSEND = 132,
    D_SEND = 133,
    D_ADD_ID = 134,
    D_CLEAR_ID = 135,
    D_INTERSEND = 136,
    D_INTERRECV = 137,
    D_MESSAGE_DEFINITION = 138,
    D_EXPECTED_VALUE = 139,  // the DEF_MESSAGE record in a message type's scope
    D_VALUE = 140,           // root of a value entry tree
    D_VALUE_ELEMENT = 141,
    D_WAIT = 142,
    D_MATCH = 143,
    D_CONNECTION = 144,
    D_WAIT_REFERENCE = 145,
    D_INTERFACE_FUNCTION = 146,
    D_INTERFACE_PARAMETER = 149,
    D_TEMPORARY = 151,
};

// Texts held by descriptors are pooled (string_pool); null means absent.

struct ProgramDescriptor final : Descriptor {
    const char* second = nullptr;  // second and third HEADER values
    const char* third = nullptr;
};

struct InstanceDescriptor final : Descriptor {
    bool used = false;
    int number = 0;  // from 2, in declaration order
};

struct InstanceReferenceDescriptor final : Descriptor {
    Entry* instance = nullptr;
};

struct ScenarioDescriptor final : Descriptor {  // sub_scope: the body
    const char* file = nullptr;
    // The scenario whose body holds this one, null for the outermost; the
    // full name "A.B.C" is made from the chain on demand (scenario_full_name),
    // since a stored name per scenario grows with the square of the nesting.
    const ScenarioDescriptor* parent = nullptr;
    bool leaf = true;
    bool selected = false;
    Scope* families = nullptr;        // family entries, null without FAMILY
    int loop_count = 0;
    int header_line_minus_one = 0;
    int end_line = 0;                 // line of END SCENARIO
};

// "A.B.C": the names of the scenarios from below the outermost one down to
// `d`; empty for the outermost scenario itself.
std::string scenario_full_name(const ScenarioDescriptor& d);

struct BlockDescriptor final : Descriptor {  // sub_scope: the inline body
    Entry* procedure = nullptr;        // procedure form
    int line = 0;
    int number = -1;
    Scope* arguments = nullptr;        // call argument entries of the procedure form
};

struct ProcedureDescriptor final : Descriptor {  // sub_scope: the body
    int use_mark = 0;
    Scope* parameters = nullptr;
    bool callees_marked = false;  // its calls have been marked through once
};

struct ParameterDescriptor final : Descriptor {
    int type_class = 0;
    const char* type_name = nullptr;
};

struct CallDescriptor final : Descriptor {  // sub_scope: call argument entries
    const char* expected_return = nullptr;
    const char* receiving = nullptr;
    int return_class = 0;
    int receiving_class = 0;
    Entry* procedure = nullptr;
    Entry* function = nullptr;
    bool return_temporary = false;
};

struct CallArgumentDescriptor final : Descriptor {
    bool by_address = false;
    const char* value = nullptr;
    const char* expected = nullptr;
    const char* receiving = nullptr;
    int value_class = 0;
    int expected_class = 0;
    int receiving_class = 0;
    Entry* parameter = nullptr;
    long long array_size = 0;
    bool temporary = false;
};

struct IfDescriptor final : Descriptor {  // sub_scope: the THEN part
    Scope* else_part = nullptr;
};

struct WhenDescriptor final : Descriptor {  // sub_scope: the when values
    Scope* instructions = nullptr;
};

struct TimerDescriptor final : Descriptor {
    int number = 0;
};

struct PrintDescriptor final : Descriptor {
    const char* expression = nullptr;
};

struct RendezvousDescriptor final : Descriptor {
    int number = -1;  // numbered after the analysis
};

struct CleanupDescriptor final : Descriptor {
    Entry* procedure = nullptr;
};

struct FilterLettersDescriptor final : Descriptor {
    const char* letters = nullptr;
};

// ---------------------------------------------------------------- communication model

struct CommTypeDescriptor final : Descriptor {
    const char* id_type = nullptr;  // C type of the connection identifiers
    bool id_structured = false;     // that type is a structure or a union
    int channel_count = 0;          // next channel index
    bool multiplexing = false;
    // Its row in the channel state table, in declaration order: channels of
    // two communication types never share a state.
    int number = 0;
    // One connection per channel: waits call the callbacks without an id
    // loop. No script construct sets it; the generators honour it.
    bool single_connection = false;
};

struct ChannelDescriptor final : Descriptor {
    Entry* comm_type = nullptr;
    int index = 0;  // within its communication type
};

struct MessageTypeDescriptor final : Descriptor {  // sub_scope: the expected value entries of its DEF_MESSAGEs
    int number = 0;
    int event_count = 0;                     // next event index
    const char* selection = nullptr;         // "kvr_ctxsel_" union-selection declaration, null without union
    Scope* defaults = nullptr;               // default value entries (a value root), null until needed
    bool has_defaults = false;
};

struct EventVariableDescriptor final : Descriptor {
    Entry* message_type = nullptr;
    int index = 0;             // within its message type
    Entry* expected = nullptr;  // latest expected value entry of a DEF_MESSAGE
};

struct CallbackDescriptor final : Descriptor {  // sub_scope: the body
    int use_mark = 0;
    Entry* comm_type = nullptr;
    Entry* message_type = nullptr;
    bool counted = false;  // multiplexing: called with an identifier array and its count
    const char* message_variable = nullptr;
    const char* id_variable = nullptr;
    const char* count_variable = nullptr;
};

struct ProcsendDescriptor final : Descriptor {  // sub_scope: the body
    int use_mark = 0;
    Entry* comm_type = nullptr;
    Entry* message_type = nullptr;
    const char* message_variable = nullptr;
    const char* id_variable = nullptr;
};

struct SendDescriptor final : Descriptor {
    Entry* channel = nullptr;
    Entry* event = nullptr;
    Entry* procsend = nullptr;
    int value = -1;
};

struct AddIdDescriptor final : Descriptor {
    Entry* channel = nullptr;
    bool constant = false;
};

struct ClearIdDescriptor final : Descriptor {
    Entry* channel = nullptr;  // null after UNKCHANAM
};

struct IntersendDescriptor final : Descriptor {
    bool numeric = false;  // the first operand is an int or long, converted to a string
    const char* first = nullptr;
    const char* second = nullptr;
};

struct InterrecvDescriptor final : Descriptor {
    bool one_operand = false;
    const char* first = nullptr;
    const char* second = nullptr;
};

struct MessageDefinitionDescriptor final : Descriptor {  // sub_scope: value entries of the expected message
    Entry* event = nullptr;
    int number = 0;              // DEF_MESSAGE number from 1; 0 when the value was refused
    Entry* expected = nullptr;   // its expected value entry
};

struct ExpectedValueDescriptor final : Descriptor {  // sub_scope: value entries against kvr_msgrcv
    Entry* event = nullptr;
    int number = 0;
    bool outside_procedure = false;
};

// ---------------------------------------------------------------- values

enum class ValueUse : int { Initial = 1, Expected = 2, ExpectedMessage = 3, Defaults = 4 };

struct ValueDescriptor final : Descriptor {  // sub_scope: the elements, in layout order
    ValueUse use = ValueUse::Initial;
    const TypeLayoutNode* layout = nullptr;  // C type of the variable (or message) the value is for
};

enum class ElementKind : int {
    Structure = 1,    // group: the fields of a structure
    Union = 2,        // group: the one field given of a union
    Array = 3,        // group: elements by index interval
    ArrayElement = 4, // scalar element of an array, for an index interval
    String = 5,       // character array given as a string
    Whole = 6,        // structure, union or array value of exactly the element's type
    Scalar = 7,
};

struct ValueElementDescriptor final : Descriptor {  // sub_scope: the contents of a group
    ElementKind kind = ElementKind::Scalar;
    const char* field = nullptr;   // field name, null for array elements
    long long first = 0;           // index interval of an array element or group
    long long last = 0;
    bool indexed = false;          // first/last are meaningful
    int union_field = 0;           // position of the union field given, from 0
    const char* value = nullptr;   // value text (lower limit of an accepted interval), null when none
    const char* upper = nullptr;   // upper limit of an accepted interval, null when none
    bool interval = false;         // an accepted interval "[lower .. upper]" of an expected scalar
    int type_class = 0;            // class of the value given
    long long size = 0;            // size in bytes of the element's type
};

// ---------------------------------------------------------------- waits

struct WaitDescriptor final : Descriptor {  // sub_scope: match entries
    const char* success = nullptr;          // C texts
    const char* failure = nullptr;
    const char* limit = nullptr;            // time limit text
    const char* success_display = nullptr;
    const char* failure_display = nullptr;
    int number = 0;
    Scope* connections = nullptr;
    bool referenced = false;                // has a wait-condition reference
};

struct MatchDescriptor final : Descriptor {
    const char* c_text = nullptr;
    const char* display = nullptr;
    Entry* event = nullptr;
};

struct ConnectionDescriptor final : Descriptor {
    Entry* event = nullptr;
    Entry* channel = nullptr;
    Entry* callback = nullptr;
};

struct WaitReferenceDescriptor final : Descriptor {
    WaitDescriptor* wait = nullptr;
};

// ---------------------------------------------------------------- interface functions

struct InterfaceFunctionDescriptor final : Descriptor {  // sub_scope: parameter entries, position 0 first
    int return_class = 0;
    bool macro = false;  // a function-like macro: any arguments
};

struct InterfaceParameterDescriptor final : Descriptor {
    int position = 0;  // 0 for the return value
    int type_class = 0;
    const char* type_text = nullptr;
    long long array_size = 0;  // declared element count, 0 when not an array
};

struct TemporaryDescriptor final : Descriptor {
    Entry* parameter = nullptr;  // interface parameter whose type it has
    Entry* argument = nullptr;   // the call argument it belongs to
};

// A send or wait record of the event-code pass, with the pair that names its
// probe code: KVR_TDC_SEND_<type>_<channel> or KVR_TDC_RECV_<type>_<channel>.
// A wait gives one record per connection it listens on.
struct ProbeRecord {
    bool send = false;
    const char* message_type = nullptr;
    const char* channel = nullptr;
    int code = 0;  // the SD or W start code
};

// A variable that a script file declares at file level, for -NOTSHARED.
struct GlobalVariable {
    int file_index = 0;
    std::string name;
    std::string declaration;  // the declaration with the name "kvr_ctx<name>", empty when it has no usable type
};

// What the analysis returns to the driver.
struct SemanticModel {
    std::unique_ptr<SemanticTables> tables;
    Scope* root = nullptr;
    InstanceMode instance_mode = InstanceMode::NoInstances;
    int selected_position = 1;    // position of the -INSTANCE name among the declared names
    int timer_count = 0;
    int message_type_count = 0;
    int highest_channel = 0;      // highest channel index over all communication types
    int def_message_count = 0;    // DEF_MESSAGE numbers used (from 1)
    int wait_count = 0;           // WAITTIL numbers used (from 0)
    int temporary_count = 0;      // call temporaries declared
    int comm_type_count = 0;      // communication types declared (rows of the channel state table)
    std::vector<GlobalVariable> globals;  // of the script files, in file order then line order

    // Stored by the event-code pass (the entries' own codes sit in Entry).
    std::vector<ProbeRecord> probe_records;  // in pass order
    int last_send_code = 0;                  // highest send code, 0 without sends
    int last_id_code = 0;                    // highest send or receive code
    std::string generation_tag;              // date text, blank, process id
};

}  // namespace zv
