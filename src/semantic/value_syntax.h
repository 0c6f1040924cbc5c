// The structured value notation of VAR and DEF_MESSAGE values, read from the
// preprocessed value text: aggregates in braces with elements by position or
// designated by a field name, an index, an index interval or OTHERS,
// accepted intervals "[a .. b]", and plain C expressions left as text for the
// C analysis. Only the shape is read here; nothing is typed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::semantic {

struct ValueElement;

struct Value {
    enum class Kind { Empty, Plain, Interval, Aggregate };
    Kind kind = Kind::Empty;
    std::string text;    // as written, blanks around it removed
    std::string lower;   // bounds of an interval; either may be empty
    std::string upper;
    std::vector<ValueElement> elements;  // of an aggregate
};

struct ValueElement {
    enum class Designation { Position, Name, Index, Range, Others };
    Designation designation = Designation::Position;
    std::string first;   // the field name, the index, or the first bound as written
    std::string second;  // the second bound of a range
    Value value;
};

// The value read from `text`, or nothing when its shape is wrong (unbalanced
// brackets, "=>" or ".." out of place, nesting beyond a fixed depth).
std::optional<Value> parse_value(std::string_view text);

// Whether a text is a C identifier (designators by name).
bool is_identifier(std::string_view text);

}  // namespace zv::semantic
