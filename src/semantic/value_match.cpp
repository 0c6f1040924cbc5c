#include "semantic/value_match.h"

#include "native/type_class.h"

#include <algorithm>
#include <unordered_set>

namespace zv::semantic {

using native::NativeType;
using Shape = NativeType::Shape;
using Designation = ValueElement::Designation;

std::string interval_text(long long low, long long high) {
    return "(" + std::to_string(low) + ".." + std::to_string(high) + ")";
}

namespace {

// A value spread over the fields of a type is as large as the type's tree of
// fields (arrays count once), which nested structures can make exponential:
// beyond this many elements the value is refused.
constexpr std::size_t kMaxElements = std::size_t{1} << 17;
// Types nested through many declarations are refused beyond this depth.
constexpr int kMaxDepth = 1000;

bool numeric_class(int c) { return c >= native::kOtherIntegral && c <= native::kDouble; }

// Structures, unions and arrays other than character arrays are matched
// level by level; a character array takes a string as a whole.
bool is_group(const NativeType& type) {
    const Shape shape = type.shape();
    return shape == Shape::Structure || shape == Shape::Union ||
           (shape == Shape::Array && type.type_class() != native::kCharArray);
}

bool designated(const ValueElement& e) {
    return e.designation == Designation::Name || e.designation == Designation::Index ||
           e.designation == Designation::Range;
}

}  // namespace

ValueMatcher::ValueMatcher(native::NativeAnalyser& native, std::string scope, const Position& at,
                           std::string variable, ValueUse use, bool work_variable)
    : native_(native), scope_(std::move(scope)), at_(at), variable_(std::move(variable)), use_(use),
      work_variable_(work_variable) {}

void ValueMatcher::report(Severity severity, Code code, const std::string& arg) {
    reportAtText(severity, code, arg.c_str(), at_.file, at_.line);
    failed_ = true;
}

// ---------------------------------------------------------------- typing

bool ValueMatcher::type_text(const std::string& text) {
    native::ValueExpression answer = native::value_expression(native_, text, scope_, at_.file ? at_.file : "", at_.line);
    if (!answer.parsed) return false;
    typed_[&text] = std::move(answer);
    return true;
}

const native::ValueExpression& ValueMatcher::typed(const std::string& text) const { return typed_.at(&text); }

bool ValueMatcher::is_work_value(const Value& value) const {
    return work_variable_ && value.kind == Value::Kind::Plain && value.text == variable_;
}

const ValueMatcher::Interval* ValueMatcher::interval_of(const ValueElement& element) const {
    const auto found = intervals_.find(&element);
    return found == intervals_.end() ? nullptr : &found->second;
}

bool ValueMatcher::type_expressions(const Value& value) {
    switch (value.kind) {
        case Value::Kind::Empty: return true;
        case Value::Kind::Plain: return is_work_value(value) || type_text(value.text);
        case Value::Kind::Interval:
            return (value.lower.empty() || type_text(value.lower)) && (value.upper.empty() || type_text(value.upper));
        case Value::Kind::Aggregate: break;
    }
    for (const ValueElement& e : value.elements) {
        if (designated(e)) {
            // A name designates a field, unless it is an integer constant
            // (an enumerator) designating an index.
            const std::string file = at_.file ? at_.file : "";
            const auto first = native::value_expression(native_, e.first, scope_, file, at_.line);
            if (e.designation != Designation::Name && !first.parsed) return false;
            if (e.designation == Designation::Range) {
                const auto second = native::value_expression(native_, e.second, scope_, file, at_.line);
                if (!second.parsed) return false;
                if (first.integer_constant && second.integer_constant)
                    intervals_[&e] = {std::min(first.value, second.value), std::max(first.value, second.value)};
            } else if (first.integer_constant) {
                intervals_[&e] = {first.value, first.value};
            }
        }
        if (!type_expressions(e.value)) return false;
    }
    return true;
}

// ---------------------------------------------------------------- notation

bool ValueMatcher::check_notation(const Value& value) {
    bool ok = true;
    auto error = [&](Code code, const std::string& arg) {
        reportAtText(Severity::Error, code, arg.c_str(), at_.file, at_.line);
        ok = false;
    };
    if (value.kind == Value::Kind::Interval && value.lower.empty() && value.upper.empty()) error(Code::FORBEMPTY, "");
    if (value.kind != Value::Kind::Aggregate) return ok;
    const auto& elements = value.elements;
    bool positional = false, by_designator = false;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const ValueElement& e = elements[i];
        positional |= e.designation == Designation::Position;
        by_designator |= designated(e);
        if (e.designation == Designation::Others && i + 1 < elements.size() && ok) error(Code::ENDOTHERS, value.text);
    }
    if (positional && by_designator) error(Code::VARPOSNAM, value.text);
    if (!positional) {
        std::unordered_set<std::string> names;
        std::vector<Interval> intervals;
        for (const ValueElement& e : elements) {
            if (!designated(e)) continue;
            if (const Interval* interval = interval_of(e)) intervals.push_back(*interval);
            else if (e.designation == Designation::Name && !names.insert(e.first).second) error(Code::STRFLDALR, e.first);
        }
        std::stable_sort(intervals.begin(), intervals.end(),
                         [](const Interval& a, const Interval& b) { return a.low < b.low; });
        for (std::size_t i = 1; i < intervals.size(); ++i) {
            if (intervals[i].low <= intervals[i - 1].high)
                error(Code::COMBNDSEC, interval_text(intervals[i].low, intervals[i].high));
            intervals[i].high = std::max(intervals[i].high, intervals[i - 1].high);
        }
    }
    for (const ValueElement& e : elements) {
        if (e.designation != Designation::Position && e.value.kind == Value::Kind::Empty) error(Code::FORBEMPTY, "");
        if (!check_notation(e.value)) ok = false;
    }
    return ok;
}

// ---------------------------------------------------------------- matching

std::optional<std::vector<MatchedElement>> ValueMatcher::match(const Value& value, const NativeType& type) {
    failed_ = false;
    elements_ = 0;
    depth_ = 0;
    deferred_.clear();
    std::vector<MatchedElement> out;
    match_into(value, type, Slot{}, out);
    if (failed_) return std::nullopt;
    return out;
}

void ValueMatcher::report_deferred() const {
    for (const Deferred& d : deferred_) reportAtText(d.severity, d.code, d.arg.c_str(), at_.file, at_.line);
}

namespace {

MatchedElement element_for(ElementKind kind, const std::string& field, bool indexed, long long first, long long last,
                           const NativeType& type) {
    MatchedElement e;
    e.kind = kind;
    e.field = field;
    e.indexed = indexed;
    e.first = first;
    e.last = last;
    e.type_class = type.type_class();
    e.size = type.size();
    return e;
}

}  // namespace

void ValueMatcher::match_into(const Value& value, const NativeType& type, const Slot& slot,
                              std::vector<MatchedElement>& out) {
    if (value.kind == Value::Kind::Empty) return;
    if (elements_ >= kMaxElements || depth_ >= kMaxDepth) {
        failed_ = true;  // reported as a wrong value
        return;
    }
    ++elements_;
    struct Level {
        int& depth;
        explicit Level(int& d) : depth(++d) {}
        ~Level() { --depth; }
    } level(depth_);
    if (is_group(type) && value.kind == Value::Kind::Plain && !is_work_value(value)) {
        const native::ValueExpression& given = typed(value.text);
        if (given.type.same_as(type)) {
            MatchedElement whole = element_for(ElementKind::Whole, slot.field, slot.indexed, slot.first, slot.last, type);
            whole.value = value.text;
            whole.type_class = given.type_class;
            out.push_back(std::move(whole));
            return;
        }
        // Another structure, union or array is not spread over the fields.
        if (given.type_class == native::kStructure || given.type_class == native::kUnion ||
            given.type_class == native::kArray) {
            report(Severity::Warning, Code::INCOMPTYP, value.text);
            return;
        }
    }
    switch (type.shape()) {
        case Shape::Structure: structure(value, type, slot, out); return;
        case Shape::Union: union_value(value, type, slot, out); return;
        case Shape::Array:
            if (type.type_class() == native::kCharArray && value.kind != Value::Kind::Aggregate)
                scalar(value, type, ElementKind::String, slot, out);
            else
                array(value, type, slot, out);
            return;
        case Shape::Scalar:
            scalar(value, type, slot.indexed ? ElementKind::ArrayElement : ElementKind::Scalar, slot, out);
            return;
        case Shape::None:
            report(Severity::Warning, Code::INCOMPTYP, value.text);
            return;
    }
}

std::optional<int> ValueMatcher::bound_class(const std::string& text, int wanted) {
    const int given = typed(text).type_class;
    if (!native::compatible_classes(wanted, given)) {
        report(Severity::Warning, Code::INCOMPTYP, text);
        return std::nullopt;
    }
    return given;
}

void ValueMatcher::scalar(const Value& value, const NativeType& type, ElementKind kind, const Slot& slot,
                          std::vector<MatchedElement>& out) {
    const int wanted = type.type_class();
    MatchedElement e = element_for(kind, slot.field, slot.indexed, slot.first, slot.last, type);
    switch (value.kind) {
        case Value::Kind::Empty: return;
        case Value::Kind::Aggregate:
            report(Severity::Error, Code::INCOMPTYP, value.text);
            return;
        case Value::Kind::Plain: {
            e.value = value.text;
            if (is_work_value(value)) {
                e.type_class = native::kUnresolved;  // the received field itself, whatever its type
                break;
            }
            const native::ValueExpression& given = typed(value.text);
            int given_class = given.type_class;
            // A null pointer constant (NIL included) is a pointer.
            if ((wanted == native::kPointer || wanted == native::kCharPointer) && given.integer_constant &&
                given.value == 0)
                given_class = native::kPointer;
            if (!native::compatible_classes(wanted, given_class)) {
                report(Severity::Warning, Code::INCOMPTYP, value.text);
                return;
            }
            e.type_class = given_class;
            break;
        }
        case Value::Kind::Interval: {
            // Only an expected number may lie in an interval.
            if (use_ == ValueUse::Initial || !numeric_class(wanted)) {
                report(Severity::Warning, Code::INCOMPTYP, value.text);
                return;
            }
            e.interval = true;
            std::optional<int> lower, upper;
            if (!value.lower.empty() && !(lower = bound_class(value.lower, wanted))) return;
            if (!value.upper.empty() && !(upper = bound_class(value.upper, wanted))) return;
            if (lower) e.value = value.lower;
            if (upper) e.upper = value.upper;
            e.type_class = lower ? *lower : *upper;
            break;
        }
    }
    out.push_back(std::move(e));
}

void ValueMatcher::structure(const Value& value, const NativeType& type, const Slot& slot,
                             std::vector<MatchedElement>& out) {
    const std::vector<native::NativeField> fields = type.fields();
    if (fields.empty() && type.size() < 0) {  // an incomplete structure
        report(Severity::Warning, Code::CHAMPINCO, variable_);
        return;
    }
    MatchedElement group = element_for(ElementKind::Structure, slot.field, slot.indexed, slot.first, slot.last, type);
    auto give = [&](const Value& v, const native::NativeField& f) {
        match_into(v, f.type, Slot{f.name}, group.children);
    };
    if (value.kind != Value::Kind::Aggregate) {
        for (const native::NativeField& f : fields) give(value, f);
    } else {
        const auto& elements = value.elements;
        const Value* others =
            !elements.empty() && elements.back().designation == Designation::Others ? &elements.back().value : nullptr;
        const std::size_t given = elements.size() - (others ? 1 : 0);
        if (given > fields.size()) {
            report(Severity::Error, Code::NBVALINCO, value.text);
            return;
        }
        if (std::any_of(elements.begin(), elements.end(), designated)) {
            std::unordered_set<std::string> names;
            for (const native::NativeField& f : fields) names.insert(f.name);
            std::unordered_map<std::string, const Value*> by_name;
            for (const ValueElement& e : elements) {
                if (!designated(e)) continue;
                if (e.designation != Designation::Name || !names.count(e.first))
                    report(Severity::Warning, Code::CHAMPINCO, e.first);
                else
                    by_name.emplace(e.first, &e.value);
            }
            for (const native::NativeField& f : fields) {
                const auto found = f.name.empty() ? by_name.end() : by_name.find(f.name);
                if (found != by_name.end()) give(*found->second, f);
                else if (others) give(*others, f);
            }
        } else {
            std::size_t next = 0;
            for (const ValueElement& e : elements) {
                if (e.designation == Designation::Others) break;
                give(e.value, fields[next++]);
            }
            if (others)
                for (; next < fields.size(); ++next) give(*others, fields[next]);
        }
    }
    if (!group.children.empty()) out.push_back(std::move(group));
}

void ValueMatcher::union_value(const Value& value, const NativeType& type, const Slot& slot,
                               std::vector<MatchedElement>& out) {
    const std::vector<native::NativeField> fields = type.fields();
    if (fields.empty() && type.size() < 0) {  // an incomplete union
        report(Severity::Warning, Code::CHAMPINCO, variable_);
        return;
    }
    if (fields.empty()) return;
    MatchedElement group = element_for(ElementKind::Union, slot.field, slot.indexed, slot.first, slot.last, type);
    if (is_work_value(value)) {
        for (const native::NativeField& f : fields) match_into(value, f.type, Slot{f.name}, group.children);
    } else if (value.kind != Value::Kind::Aggregate) {
        match_into(value, fields[0].type, Slot{fields[0].name}, group.children);
    } else {
        if (value.elements.size() > 1) {
            report(Severity::Error, Code::ONEFLDUNN, value.text);
            return;
        }
        if (value.elements.empty()) return;
        const ValueElement& e = value.elements.front();
        std::size_t which = 0;
        if (designated(e)) {
            const auto found = std::find_if(fields.begin(), fields.end(), [&](const native::NativeField& f) {
                return !f.name.empty() && f.name == e.first;
            });
            if (e.designation != Designation::Name || found == fields.end()) {
                report(Severity::Warning, Code::CHAMPINCO, e.first);
                return;
            }
            which = static_cast<std::size_t>(found - fields.begin());
        }
        group.union_field = static_cast<int>(which);
        match_into(e.value, fields[which].type, Slot{fields[which].name}, group.children);
    }
    if (!group.children.empty()) out.push_back(std::move(group));
}

void ValueMatcher::array(const Value& value, const NativeType& type, const Slot& slot,
                         std::vector<MatchedElement>& out) {
    const long long size = type.count();
    const NativeType element = type.element();
    if (size < 0) {
        report(Severity::Warning, Code::CHAMPINCO, variable_);
        return;
    }
    MatchedElement group = element_for(ElementKind::Array, slot.field, slot.indexed, slot.first, slot.last, type);
    auto give = [&](const Value& v, long long low, long long high) {
        match_into(v, element, Slot{std::string(), true, low, high}, group.children);
    };
    if (value.kind != Value::Kind::Aggregate) {
        if (size > 0) give(value, 0, size - 1);
    } else {
        struct Item {
            long long low, high;
            const Value* value;
        };
        std::vector<Item> items;
        const Value* others = nullptr;
        long long next = 0;
        for (const ValueElement& e : value.elements) {
            if (e.designation == Designation::Others) {
                others = &e.value;
            } else if (e.designation == Designation::Position) {
                if (next >= size) {
                    report(Severity::Error, Code::NBVALINCO, value.text);
                    return;
                }
                items.push_back({next, next, &e.value});
                ++next;
            } else if (const Interval* interval = interval_of(e)) {
                if (interval->low < 0 || interval->high > size - 1)
                    deferred_.push_back({Severity::Error, Code::BNDOUTARR, interval_text(interval->low, interval->high)});
                else
                    items.push_back({interval->low, interval->high, &e.value});
            } else {
                report(Severity::Warning, Code::CHAMPINCO, e.first);
            }
        }
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.low < b.low; });
        if (others) {
            // Every interval that no element covers; an empty positional
            // element covers its index all the same.
            std::vector<Item> gaps;
            long long from = 0;
            for (const Item& item : items) {
                if (item.low > from) gaps.push_back({from, item.low - 1, others});
                from = std::max(from, item.high + 1);
            }
            if (from <= size - 1) gaps.push_back({from, size - 1, others});
            if (gaps.empty()) deferred_.push_back({Severity::Warning, Code::OTHERSEMP, ""});
            std::vector<Item> merged;
            std::merge(items.begin(), items.end(), gaps.begin(), gaps.end(), std::back_inserter(merged),
                       [](const Item& a, const Item& b) { return a.low < b.low; });
            items = std::move(merged);
        }
        for (const Item& item : items) give(*item.value, item.low, item.high);
    }
    if (!group.children.empty()) out.push_back(std::move(group));
}

}  // namespace zv::semantic
