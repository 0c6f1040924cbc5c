// What a numbering output pass does: store its numbers in the model, make
// its text, or both. Storing comes first, on the caller's thread, since the
// C generator quotes the numbers; the text can then be made beside the
// generator, reading the model only.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>

namespace zv {

enum class PassWork { Store, Texts, Both };

// Where a text pass hands its text over in pieces as it grows, so that a long
// text is not held whole; what is left at the end is returned as usual.
using TextPieces = std::function<void(std::string&&)>;
constexpr std::size_t kTextPiece = std::size_t{1} << 18;

// Hands `text` over once it holds a piece's worth and starts the next piece,
// with room for one more line of at most `line_limit` characters.
inline void hand_over_piece(std::string& text, const TextPieces& pieces, std::size_t line_limit) {
    if (!pieces || text.size() < kTextPiece) return;
    pieces(std::move(text));
    text = std::string();
    text.reserve(kTextPiece + line_limit);
}

}  // namespace zv
