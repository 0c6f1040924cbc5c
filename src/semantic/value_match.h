// A structured value against the C type of its variable: the expressions of
// the value typed, the checks of the notation, then the walk of the type's
// layout that gives each field and index interval its value. The result is a
// tree of elements ready to be recorded as value entries; the reports go to
// the instruction's position.
#pragma once

#include "common/position.h"
#include "diagnostics/report.h"
#include "model/semantic_model.h"
#include "native/native_analyser.h"
#include "semantic/value_syntax.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace zv::semantic {

struct MatchedElement {
    ElementKind kind = ElementKind::Scalar;
    std::string field;  // empty for the variable itself and for array elements
    bool indexed = false;
    long long first = 0, last = 0;
    int union_field = 0;
    std::optional<std::string> value, upper;
    bool interval = false;
    int type_class = 0;
    long long size = 0;
    std::vector<MatchedElement> children;
};

class ValueMatcher {
public:
    // `variable` names the variable in messages; `work_variable` is set for the
    // default value list of a message type, whose value kvr_msgrcv goes to
    // every field.
    ValueMatcher(native::NativeAnalyser& native, std::string scope, const Position& at, std::string variable,
                 ValueUse use, bool work_variable);

    // Types every expression of the value; false when one does not parse.
    bool type_expressions(const Value& value);
    // The checks of the notation on every aggregate; false after an error.
    bool check_notation(const Value& value);
    // The elements of the value for a variable of type `type`; nothing when
    // the matching reported an error or a warning.
    std::optional<std::vector<MatchedElement>> match(const Value& value, const native::NativeType& type);
    // The reports that do not make the value wrong, given once its entries are made.
    void report_deferred() const;

private:
    struct Slot {
        std::string field;
        bool indexed = false;
        long long first = 0, last = 0;
    };
    struct Interval {
        long long low = 0, high = 0;
    };

    void report(Severity severity, Code code, const std::string& arg);
    bool type_text(const std::string& text);
    const native::ValueExpression& typed(const std::string& text) const;
    bool is_work_value(const Value& value) const;
    const Interval* interval_of(const ValueElement& element) const;

    void match_into(const Value& value, const native::NativeType& type, const Slot& slot,
                    std::vector<MatchedElement>& out);
    void scalar(const Value& value, const native::NativeType& type, ElementKind kind, const Slot& slot,
                std::vector<MatchedElement>& out);
    void structure(const Value& value, const native::NativeType& type, const Slot& slot,
                   std::vector<MatchedElement>& out);
    void union_value(const Value& value, const native::NativeType& type, const Slot& slot,
                     std::vector<MatchedElement>& out);
    void array(const Value& value, const native::NativeType& type, const Slot& slot, std::vector<MatchedElement>& out);
    std::optional<int> bound_class(const std::string& text, int wanted);

    native::NativeAnalyser& native_;
    std::string scope_;
    Position at_;
    std::string variable_;
    ValueUse use_;
    bool work_variable_;
    bool failed_ = false;
    std::size_t elements_ = 0;  // made so far, against runaway trees
    int depth_ = 0;             // of the type's levels being matched
    // Typed expressions by the address of their text in the value.
    std::unordered_map<const std::string*, native::ValueExpression> typed_;
    // Index and interval designators that evaluate to integer constants.
    std::unordered_map<const ValueElement*, Interval> intervals_;
    struct Deferred {
        Severity severity;
        Code code;
        std::string arg;
    };
    std::vector<Deferred> deferred_;
};

// "(%d..%d)"
std::string interval_text(long long low, long long high);

}  // namespace zv::semantic
