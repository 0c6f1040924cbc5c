// The analysed program handed from the semantic walk to the generators: the
// semantic tables with the root scope, the descriptor kinds of the walk's
// entries (one small struct each, with its fixed descriptor code), and the
// three numbers that code generation needs besides the model.
#pragma once

#include "common/run_modes.h"
#include "model/semantic_tables.h"

#include <memory>

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
};

// Texts held by descriptors are pooled (string_pool); null means absent.

struct ProgramDescriptor : Descriptor {
    const char* second = nullptr;  // second and third HEADER values
    const char* third = nullptr;
};

struct InstanceDescriptor : Descriptor {
    bool used = false;
    int number = 0;  // from 2, in declaration order
};

struct InstanceReferenceDescriptor : Descriptor {
    Entry* instance = nullptr;
};

struct ScenarioDescriptor : Descriptor {  // sub_scope: the body
    const char* file = nullptr;
    const char* full_name = nullptr;  // "A.B.C"; empty for the outermost scenario
    bool leaf = true;
    bool selected = false;
    Scope* families = nullptr;        // family entries, null without FAMILY
    int loop_count = 0;
    int header_line_minus_one = 0;
    int end_line = 0;                 // line of END SCENARIO
};

struct BlockDescriptor : Descriptor {  // sub_scope: the inline body
    Entry* procedure = nullptr;        // procedure form
    int line = 0;
    int number = -1;
    Scope* arguments = nullptr;        // call argument entries of the procedure form
};

struct ProcedureDescriptor : Descriptor {  // sub_scope: the body
    int use_mark = 0;
    Scope* parameters = nullptr;
    bool callees_marked = false;  // its calls have been marked through once
};

struct ParameterDescriptor : Descriptor {
    int type_class = 0;
    const char* type_name = nullptr;
};

struct CallDescriptor : Descriptor {  // sub_scope: call argument entries
    const char* expected_return = nullptr;
    const char* receiving = nullptr;
    int return_class = 0;
    int receiving_class = 0;
    Entry* procedure = nullptr;
    Entry* function = nullptr;
    bool return_temporary = false;
};

struct CallArgumentDescriptor : Descriptor {
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

struct IfDescriptor : Descriptor {  // sub_scope: the THEN part
    Scope* else_part = nullptr;
};

struct WhenDescriptor : Descriptor {  // sub_scope: the when values
    Scope* instructions = nullptr;
};

struct TimerDescriptor : Descriptor {
    int number = 0;
};

struct PrintDescriptor : Descriptor {
    const char* expression = nullptr;
};

struct RendezvousDescriptor : Descriptor {
    int number = -1;  // numbered after the analysis
};

struct CleanupDescriptor : Descriptor {
    Entry* procedure = nullptr;
};

struct FilterLettersDescriptor : Descriptor {
    const char* letters = nullptr;
};

// What the analysis returns to the driver.
struct SemanticModel {
    std::unique_ptr<SemanticTables> tables;
    Scope* root = nullptr;
    InstanceMode instance_mode = InstanceMode::NoInstances;
    int selected_position = 1;    // position of the -INSTANCE name among the declared names
    int timer_count = 0;
};

}  // namespace zv
