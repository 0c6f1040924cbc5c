#include "driver/command_analyser.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QString>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace zv {

namespace {

const char* const kMessages[] = {
    QT_TRANSLATE_NOOP("CAB", "Arg value too small,"),
    QT_TRANSLATE_NOOP("CAB", "Arg value too large,"),
    QT_TRANSLATE_NOOP("CAB", "Arg length too small,"),
    QT_TRANSLATE_NOOP("CAB", "Arg length too large,"),
    QT_TRANSLATE_NOOP("CAB", "Too many arguments invalid argument,"),
    QT_TRANSLATE_NOOP("CAB", "List forbidden invalid argument,"),
    QT_TRANSLATE_NOOP("CAB", "Unknown option,"),
    QT_TRANSLATE_NOOP("CAB", "Invalid character following option,"),
    QT_TRANSLATE_NOOP("CAB", "An option can't be used twice,"),
    QT_TRANSLATE_NOOP("CAB", "Mandatory argument for this option,"),
    QT_TRANSLATE_NOOP("CAB", "No argument for this option,"),
    QT_TRANSLATE_NOOP("CAB", "List forbidden invalid option,"),
    QT_TRANSLATE_NOOP("CAB", "Argument missing,"),
    QT_TRANSLATE_NOOP("CAB", "Ambiguous option,"),
    QT_TRANSLATE_NOOP("CAB", "Unknown value of option,"),
    QT_TRANSLATE_NOOP("CAB", "Ambiguous value of option,"),
    QT_TRANSLATE_NOOP("CAB", "Illegal combination of command elements,"),
    QT_TRANSLATE_NOOP("CAB", "File not found"),
    QT_TRANSLATE_NOOP("CAB", "Command analysis: No memory left"),
    QT_TRANSLATE_NOOP("CAB", "Command analysis"),
    QT_TRANSLATE_NOOP("CAB", "Internal error, bad option name"),
};
constexpr int kNoMemory = 18;
constexpr int kBadOptionName = 20;

QString cab(const char* text) { return QCoreApplication::translate("CAB", text); }

std::string local(const QString& text) { return text.toLocal8Bit().toStdString(); }

void writeError(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

// Removes the backslash of every backslash-comma pair.
std::string unescapeCommas(const std::string& piece) {
    std::string out;
    out.reserve(piece.size());
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (piece[i] == '\\' && i + 1 < piece.size() && piece[i + 1] == ',') continue;
        out += piece[i];
    }
    return out;
}

bool sameIgnoringCase(char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
}

}  // namespace

std::size_t prefixLength(const std::string& argument, const std::string& name) {
    std::size_t count = 0;
    while (count < name.size() && count < argument.size()) {
        if (!sameIgnoringCase(argument[count], name[count])) return argument[count] == '=' ? count : 0;
        ++count;
    }
    return count;
}

std::vector<std::string> splitUnescaped(const std::string& text) {
    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            pieces.back() += text[i];
            pieces.back() += text[++i];
        } else if (text[i] == ',') {
            pieces.emplace_back();
        } else {
            pieces.back() += text[i];
        }
    }
    return pieces;
}

bool hasUnescapedComma(const std::string& text) { return splitUnescaped(text).size() > 1; }

CommandAnalyser::CommandAnalyser(std::vector<ValueSpec> positionals, std::vector<OptionSpec> options,
                                 std::vector<ForbiddenCombination> forbidden, std::string usage)
    : positionals_(std::move(positionals)),
      options_(std::move(options)),
      forbidden_(std::move(forbidden)),
      usage_(std::move(usage)) {}

std::string CommandAnalyser::messageText(int number, const std::optional<std::string>& argument) const {
    QString text = QCoreApplication::translate("CAB", "Zolmex") + QLatin1Char(' ') +
                   cab(kMessages[19]) + QStringLiteral(" : ") + cab(kMessages[number]);
    if (argument) {
        text += QLatin1Char(' ');
        text += QCoreApplication::translate("Command-line", argument->c_str());
    }
    if (number != kBadOptionName) {
        QString usage = QCoreApplication::translate("Command-line", usage_.c_str());
        usage.remove(QRegularExpression(QStringLiteral("\t\\[-XT.*\n")));
        text += usage;
    }
    text += QLatin1Char('\n');
    return local(text);
}

bool CommandAnalyser::fail(int number, const std::optional<std::string>& argument) {
    writeError(messageText(number, argument));
    return false;
}

bool CommandAnalyser::validatePiece(ValueSpec& descriptor, std::vector<KeywordSpec>* keywords, std::string piece) {
    if (descriptor.type == 'I' || descriptor.type == 'L') {
        long number = std::strtol(piece.c_str(), nullptr, 10);
        if (number < descriptor.minimum) return fail(0, piece);
        if (number > descriptor.maximum) return fail(1, piece);
        descriptor.values.push_back(std::to_string(number));
        return true;
    }
    const auto length = static_cast<long>(piece.size());
    if (length < descriptor.minimum) return fail(2, piece);
    if (length > descriptor.maximum) return fail(3, piece);
    piece = unescapeCommas(piece);
    if (!keywords || keywords->empty()) {
        descriptor.values.push_back(piece);
        return true;
    }
    std::size_t best = 0;
    KeywordSpec* held = nullptr;
    bool ambiguous = false;
    for (int form = 0; form < 3; ++form) {
        for (KeywordSpec& keyword : *keywords) {
            const std::string& name = keyword.names[form];
            const std::size_t length = prefixLength(piece, name);
            if (length == 0) continue;
            if (length == name.size()) {
                held = &keyword;
                ambiguous = false;
                goto chosen;
            }
            if (length > best) {
                best = length;
                held = &keyword;
                ambiguous = false;
            } else if (length == best && held != &keyword) {
                ambiguous = true;
            }
        }
    }
    if (best == 0) return fail(14, piece);
    if (ambiguous) return fail(15, piece);
chosen:
    held->selected = true;
    descriptor.values.push_back(held->names[2]);
    return true;
}

bool CommandAnalyser::addValues(ValueSpec& descriptor, std::vector<KeywordSpec>* keywords, const std::string& text) {
    for (const std::string& piece : splitUnescaped(text)) {
        if (!validatePiece(descriptor, keywords, piece)) return false;
    }
    return true;
}

bool CommandAnalyser::analysePositional(const std::string& text) {
    if (positionals_.empty()) return fail(4, text);
    std::size_t index = static_cast<std::size_t>(positionals_filled_);
    if (index >= positionals_.size()) index = positionals_.size() - 1;
    ValueSpec& descriptor = positionals_[index];
    const bool isList = descriptor.list == 'Y';
    if (!isList && hasUnescapedComma(text)) return fail(5, text);
    if (!isList && !descriptor.values.empty()) return fail(4, text);
    if (descriptor.values.empty() && static_cast<int>(index) == positionals_filled_) ++positionals_filled_;
    return addValues(descriptor, nullptr, text);
}

bool CommandAnalyser::analyseOption(const std::string& argument) {
    std::size_t best = 0;
    OptionSpec* held = nullptr;
    int sign = 1;
    std::size_t matched = 0;
    bool exact = false;

    auto consider = [&](OptionSpec& option, const std::string& name, int nameSign) -> bool {
        std::size_t length = prefixLength(argument, name);
        if (length == name.size()) {
            if (length == argument.size() || argument[length] == '=') {
                held = &option;
                sign = nameSign;
                matched = length;
                return true;
            }
            length = 0;
        }
        if (length == 0) return false;
        if (length == best && held != &option) {
            held = nullptr;
        } else if (length > best) {
            best = length;
            held = &option;
            sign = nameSign;
            matched = length;
        }
        return false;
    };

    for (int form = 0; form < 3 && !exact; ++form) {
        for (OptionSpec& option : options_) {
            const std::string& name = option.names[form];
            if (name.empty()) return fail(6, argument);
            if ((exact = consider(option, name, 1))) break;
            if (option.negatable && (exact = consider(option, "no" + name, -1))) break;
        }
    }
    if (!exact) {
        if (best == 0) return fail(6, argument);
        if (!held) return fail(13, argument);
    }
    OptionSpec& option = *held;
    const std::size_t p = matched;
    const bool atEnd = p >= argument.size();
    if (!atEnd && argument[p] != '=') return fail(7, argument);
    const bool isList = option.value && option.value->list == 'Y';
    if (option.state != 0 && !isList) return fail(8, argument);
    option.state = sign;
    const bool noValueText = atEnd || p + 1 >= argument.size();
    if (option.value_required && noValueText) {
        std::string shown = argument;
        if (!option.keywords.empty()) {
            if (shown.find('=') == std::string::npos) shown += '=';
            for (std::size_t k = 0; k < option.keywords.size(); ++k) {
                if (k) shown += '|';
                shown += option.keywords[k].names[2];
            }
        }
        return fail(9, shown);
    }
    if (!option.value && !atEnd) return fail(10, argument);
    if (noValueText) return true;
    const std::string valueText = argument.substr(p + 1);
    if (!isList && hasUnescapedComma(valueText)) return fail(11, argument);
    return addValues(*option.value, &option.keywords, valueText);
}

bool CommandAnalyser::analyse(int argc, char** argv) {
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string argument = argv[i] ? argv[i] : "";
            const bool ok = !argument.empty() && argument[0] == '-' ? analyseOption(argument.substr(1))
                                                                    : analysePositional(argument);
            if (!ok) return false;
        }
        for (const ValueSpec& descriptor : positionals_) {
            if (descriptor.values.empty() && !descriptor.optional) return fail(12, descriptor.names[2]);
        }
        for (OptionSpec& option : options_) {
            if (option.state == 0 && option.default_on) {
                option.state = 1;
            } else if (option.state == 0 && option.negatable) {
                option.state = -1;
            }
            if (option.default_keyword > 0 && option.value && !option.keywords.empty()) {
                bool anySelected = false;
                for (const KeywordSpec& k : option.keywords) anySelected = anySelected || k.selected;
                if (!anySelected) {
                    option.value->values = {option.keywords.at(option.default_keyword - 1).names[2]};
                }
            }
        }
        for (const ForbiddenCombination& rule : forbidden_) {
            const OptionSpec& first = options_.at(rule.first);
            const OptionSpec& second = options_.at(rule.second);
            if ((first.state == 1) == rule.first_given && (second.state == 1) == rule.second_given) {
                return fail(16, first.names[2] + " and " + second.names[2]);
            }
        }
        return true;
    } catch (const std::bad_alloc&) {
        writeError(local(QCoreApplication::translate("CAB", "Zolmex") + QLatin1Char(' ') + cab(kMessages[kNoMemory])));
        return false;
    }
}

int CommandAnalyser::optionState(const std::string& name) {
    for (std::size_t i = 0; i < options_.size(); ++i) {
        if (options_[i].names[2] != name) continue;
        const int position = static_cast<int>(i) + 1;
        return options_[i].state == 1 ? position : options_[i].state == -1 ? -position : 0;
    }
    fail(kBadOptionName, name);
    return 0;
}

std::string CommandAnalyser::optionValue(int position) const {
    const auto& values = optionValues(position);
    return values.empty() ? std::string() : values.front();
}

const std::vector<std::string>& CommandAnalyser::optionValues(int position) const {
    static const std::vector<std::string> none;
    if (position < 1 || position > static_cast<int>(options_.size())) return none;
    const OptionSpec& option = options_[position - 1];
    return option.value ? option.value->values : none;
}

}  // namespace zv
