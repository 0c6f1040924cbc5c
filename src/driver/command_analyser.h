// Generic table-driven command-line analyser: positional arguments, options with
// three name forms (French, French accented, English), abbreviations, "no"
// negation, value lists with backslash-escaped commas, keyword values, defaults
// and forbidden combinations. Errors are written to standard error with the usage.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace zv {

using Names = std::array<std::string, 3>;  // French, French accented, English

struct KeywordSpec {
    Names names;
    bool selected = false;
};

struct ValueSpec {
    Names names;
    char type = 'C';   // 'C' string bounded by length, 'I'/'L' numbers bounded by value
    char list = 'N';   // 'Y' several values allowed
    long minimum = 1;
    long maximum = 255;
    bool optional = false;  // positional arguments only
    std::vector<std::string> values;  // numbers are stored in decimal
};

struct OptionSpec {
    Names names;
    bool value_required = false;
    std::optional<ValueSpec> value;  // absent for options without value
    int state = 0;                   // 0 not given, 1 given, -1 given negated
    bool negatable = false;
    bool default_on = false;
    int default_keyword = 0;         // 1-based, 0 none
    std::vector<KeywordSpec> keywords;
};

// An error when both conditions hold; a condition is "given" (state 1) or
// "absent" (state 0 or -1).
struct ForbiddenCombination {
    int first;   // 0-based option index
    bool first_given;
    int second;
    bool second_given;
};

class CommandAnalyser {
public:
    CommandAnalyser(std::vector<ValueSpec> positionals, std::vector<OptionSpec> options,
                    std::vector<ForbiddenCombination> forbidden, std::string usage);

    // Analyses argv[1..argc-1]; on failure the message has been written.
    bool analyse(int argc, char** argv);

    // 1-based position if present (or on by default), negated position if given
    // negated, 0 otherwise. An unknown name writes message 20 and gives 0.
    int optionState(const std::string& name);
    std::string optionValue(int position) const;
    const std::vector<std::string>& optionValues(int position) const;
    const std::vector<std::string>& positionalValues(int index) const { return positionals_.at(index).values; }
    const std::vector<OptionSpec>& options() const { return options_; }

    // The text that message `number` with argument `argument` writes.
    std::string messageText(int number, const std::optional<std::string>& argument) const;

private:
    bool analyseOption(const std::string& text);
    bool analysePositional(const std::string& text);
    bool addValues(ValueSpec& descriptor, std::vector<KeywordSpec>* keywords, const std::string& text);
    bool validatePiece(ValueSpec& descriptor, std::vector<KeywordSpec>* keywords, std::string piece);
    bool fail(int number, const std::optional<std::string>& argument);

    std::vector<ValueSpec> positionals_;
    std::vector<OptionSpec> options_;
    std::vector<ForbiddenCombination> forbidden_;
    std::string usage_;
    int positionals_filled_ = 0;
};

// Length of the case-insensitive common start of `argument` and `name`; at the
// first difference the count holds only when the argument has "=" there.
std::size_t prefixLength(const std::string& argument, const std::string& name);

// Splits at every "," not preceded by a backslash (escaped characters are kept).
std::vector<std::string> splitUnescaped(const std::string& text);
bool hasUnescapedComma(const std::string& text);

}  // namespace zv
