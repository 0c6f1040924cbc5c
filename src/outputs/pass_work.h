// What a numbering output pass does: store its numbers in the model, make
// its text, or both. Storing comes first, on the caller's thread, since the
// C generator quotes the numbers; the text can then be made beside the
// generator, reading the model only.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace zv {

enum class PassWork { Store, Texts, Both };

// Where a text pass hands its text over in pieces as it grows, so that a long
// text is not held whole; what is left at the end is returned as usual.
using TextPieces = std::function<void(std::string&&)>;
constexpr std::size_t kTextPiece = std::size_t{1} << 18;

}  // namespace zv
