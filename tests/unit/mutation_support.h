// Random edits of a text for the mutation tests: byte flips, deletions,
// duplications, splices from other texts of the corpus (or, with none, a cut),
// and inserted pieces that steer towards the corners of what is tested.
#pragma once

#include <cstddef>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace zv::test {

inline std::string mutate(std::string text, std::mt19937& random, std::span<const char* const> pieces,
                          const std::vector<std::string>* corpus = nullptr) {
    auto pick = [&](std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(random() % n); };
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < edits; ++i) {
        const std::size_t at = pick(text.size() + 1);
        switch (random() % 7) {
            case 0:  // flip a byte
                if (!text.empty()) text[pick(text.size())] = static_cast<char>(random() % 256);
                break;
            case 1:  // delete a range
                text.erase(at, 1 + pick(40));
                break;
            case 2: {  // duplicate a range
                const std::string part = text.substr(at, 1 + pick(120));
                text.insert(pick(text.size() + 1), part);
                break;
            }
            case 3:
                if (corpus && !corpus->empty()) {  // splice in a range of another text
                    const std::string& other = (*corpus)[pick(corpus->size())];
                    text.insert(at, other.substr(pick(other.size() + 1), 1 + pick(200)));
                } else {  // cut
                    text.resize(at);
                }
                break;
            default: {  // insert a piece ("" stands for a NUL byte)
                const char* piece = pieces[pick(pieces.size())];
                text.insert(at, piece[0] ? std::string(piece) : std::string(1, '\0'));
            }
        }
    }
    return text;
}

}  // namespace zv::test
