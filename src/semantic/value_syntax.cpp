#include "semantic/value_syntax.h"

#include <cctype>
#include <cstddef>

namespace zv::semantic {

namespace {

// Values nest far less deeply in practice; the bound keeps the recursion of
// the reader and of the matching small whatever the script says.
constexpr int kMaxDepth = 256;

struct Token {
    enum Kind { LBrace, RBrace, LBracket, RBracket, LParen, RParen, Comma, Arrow, DotDot, Other };
    Kind kind;
    std::size_t begin, end;  // in the text
};

bool tokenize(std::string_view text, std::vector<Token>& out) {
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        auto single = [&](Token::Kind kind) { out.push_back({kind, start, ++i}); };
        switch (c) {
            case '{': single(Token::LBrace); continue;
            case '}': single(Token::RBrace); continue;
            case '[': single(Token::LBracket); continue;
            case ']': single(Token::RBracket); continue;
            case '(': single(Token::LParen); continue;
            case ')': single(Token::RParen); continue;
            case ',': single(Token::Comma); continue;
            case '"': case '\'': {
                for (++i; i < n && text[i] != c; ++i)
                    if (text[i] == '\\') ++i;
                if (i >= n) return false;  // unterminated literal
                out.push_back({Token::Other, start, ++i});
                continue;
            }
            default: break;
        }
        const bool after_operator = i > 0 && std::string_view("=!<>").find(text[i - 1]) != std::string_view::npos;
        if (c == '=' && i + 1 < n && text[i + 1] == '>' && !after_operator) {
            i += 2;
            out.push_back({Token::Arrow, start, i});
        } else if (text.substr(i, 3) == "...") {
            i += 3;
            out.push_back({Token::Other, start, i});
        } else if (text.substr(i, 2) == "..") {
            i += 2;
            out.push_back({Token::DotDot, start, i});
        } else {
            out.push_back({Token::Other, start, ++i});
        }
    }
    return true;
}

class Reader {
public:
    Reader(std::string_view text, std::vector<Token> tokens) : text_(text), tokens_(std::move(tokens)) {}

    // Pairs every opening bracket with its closing one.
    bool pair_brackets() {
        match_.assign(tokens_.size(), 0);
        std::vector<std::size_t> open;
        for (std::size_t i = 0; i < tokens_.size(); ++i) {
            const Token::Kind k = tokens_[i].kind;
            if (k == Token::LBrace || k == Token::LBracket || k == Token::LParen) {
                open.push_back(i);
            } else if (k == Token::RBrace || k == Token::RBracket || k == Token::RParen) {
                if (open.empty()) return false;
                const Token::Kind o = tokens_[open.back()].kind;
                const Token::Kind want = k == Token::RBrace ? Token::LBrace : k == Token::RBracket ? Token::LBracket
                                                                                                    : Token::LParen;
                if (o != want) return false;
                match_[open.back()] = i;
                match_[i] = open.back();
                open.pop_back();
            }
        }
        return open.empty();
    }

    std::size_t size() const { return tokens_.size(); }

    std::optional<Value> slice(std::size_t b, std::size_t e, int depth, bool whole) {
        Value v;
        if (b == e) return v;
        v.text = text(b, e);
        const Token::Kind first = tokens_[b].kind;
        if (first == Token::LBrace && match_[b] == e - 1) {
            if (depth >= kMaxDepth) return std::nullopt;
            v.kind = Value::Kind::Aggregate;
            if (b + 1 == e - 1) return v;  // "{}"
            for (const auto& [pb, pe] : split(b + 1, e - 1, Token::Comma)) {
                auto element = this->element(pb, pe, depth + 1);
                if (!element) return std::nullopt;
                v.elements.push_back(std::move(*element));
            }
            return v;
        }
        if (first == Token::LBracket && match_[b] == e - 1) {
            const auto bounds = split(b + 1, e - 1, Token::DotDot);
            if (bounds.size() == 2) {
                v.kind = Value::Kind::Interval;
                for (const auto& [pb, pe] : bounds)
                    if (!plain(pb, pe, false)) return std::nullopt;
                v.lower = text(bounds[0].first, bounds[0].second);
                v.upper = text(bounds[1].first, bounds[1].second);
                return v;
            }
        }
        if (!plain(b, e, whole)) return std::nullopt;
        v.kind = Value::Kind::Plain;
        return v;
    }

private:
    using Slices = std::vector<std::pair<std::size_t, std::size_t>>;

    std::string text(std::size_t b, std::size_t e) const {
        if (b == e) return {};
        return std::string(text_.substr(tokens_[b].begin, tokens_[e - 1].end - tokens_[b].begin));
    }

    // The parts of [b, e) between separators of `kind` outside brackets.
    Slices split(std::size_t b, std::size_t e, Token::Kind kind) const {
        Slices parts;
        std::size_t start = b;
        for (std::size_t i = b; i < e; ++i) {
            const Token::Kind k = tokens_[i].kind;
            if (k == Token::LBrace || k == Token::LBracket || k == Token::LParen) {
                i = match_[i];
            } else if (k == kind) {
                parts.emplace_back(start, i);
                start = i + 1;
            }
        }
        parts.emplace_back(start, e);
        return parts;
    }

    // A C expression: "=>" and ".." have no place in it; a comma outside
    // brackets only in a whole value (a comma expression).
    bool plain(std::size_t b, std::size_t e, bool whole) const {
        for (std::size_t i = b; i < e; ++i) {
            const Token::Kind k = tokens_[i].kind;
            if (k == Token::Arrow || k == Token::DotDot) return false;
        }
        return whole || split(b, e, Token::Comma).size() == 1;
    }

    std::optional<ValueElement> element(std::size_t b, std::size_t e, int depth) {
        ValueElement element;
        const Slices parts = split(b, e, Token::Arrow);
        if (parts.size() > 2) return std::nullopt;
        const auto [vb, ve] = parts.back();
        auto value = slice(vb, ve, depth, false);
        if (!value) return std::nullopt;
        element.value = std::move(*value);
        if (parts.size() == 1) return element;
        const auto [db, de] = parts.front();
        if (db == de) return std::nullopt;
        const Slices bounds = split(db, de, Token::DotDot);
        for (const auto& [pb, pe] : bounds)
            if (pb == pe || !plain(pb, pe, false)) return std::nullopt;
        if (bounds.size() > 2) return std::nullopt;
        element.first = text(bounds[0].first, bounds[0].second);
        if (bounds.size() == 2) {
            element.designation = ValueElement::Designation::Range;
            element.second = text(bounds[1].first, bounds[1].second);
        } else if (element.first == "OTHERS") {
            element.designation = ValueElement::Designation::Others;
        } else {
            element.designation =
                is_identifier(element.first) ? ValueElement::Designation::Name : ValueElement::Designation::Index;
        }
        return element;
    }

    std::string_view text_;
    std::vector<Token> tokens_;
    std::vector<std::size_t> match_;
};

}  // namespace

bool is_identifier(std::string_view text) {
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '$') return false;
    return true;
}

std::optional<Value> parse_value(std::string_view text) {
    std::vector<Token> tokens;
    if (!tokenize(text, tokens)) return std::nullopt;
    Reader reader(text, std::move(tokens));
    if (!reader.pair_brackets()) return std::nullopt;
    return reader.slice(0, reader.size(), 0, true);
}

}  // namespace zv::semantic
