// What a numbering output pass does: store its numbers in the model, make
// its text, or both. Storing comes first, on the caller's thread, since the
// C generator quotes the numbers; the text can then be made beside the
// generator, reading the model only.
#pragma once

namespace zv {

enum class PassWork { Store, Texts, Both };

}  // namespace zv
