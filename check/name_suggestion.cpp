#include "check/name_suggestion.h"

#include <algorithm>
#include <cctype>

namespace {

// Edit distance in half steps: a letter that differs only in case costs 1,
// any other edit 2.
int HalfEdits(const std::string& a, const std::string& b)
{
    std::vector<int> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = static_cast<int>(2 * j);
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(2 * i);
        for (size_t j = 1; j <= b.size(); ++j) {
            const char x = a[i - 1];
            const char y = b[j - 1];
            const int change = x == y ? 0 : std::tolower(static_cast<unsigned char>(x)) ==
                                                     std::tolower(static_cast<unsigned char>(y))
                                                 ? 1
                                                 : 2;
            const int best = std::min({row[j] + 2, row[j - 1] + 2, diagonal + change});
            diagonal = row[j];
            row[j] = best;
        }
    }
    return row[b.size()];
}

std::string Lowered(std::string text)
{
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

std::string NearestName(const std::string& word, const std::vector<std::string>& candidates)
{
    // Up to a third of the letters may be wrong, and at least two edits.
    const int allowed = 2 * std::max<int>(2, static_cast<int>(word.size()) / 3);
    std::string nearest;
    int best = allowed + 1;
    for (const std::string& candidate : candidates) {
        // A word the name holds whole ("time" in "eventTime") is as good as one edit.
        const bool within = word.size() >= 3 && Lowered(candidate).find(Lowered(word)) != std::string::npos;
        const int distance = within ? 2 : HalfEdits(word, candidate);
        if (distance < best && candidate != word) {
            best = distance;
            nearest = candidate;
        }
    }
    return nearest;
}

std::string DidYouMean(const std::string& word, const std::vector<std::string>& candidates)
{
    const std::string nearest = NearestName(word, candidates);
    return nearest.empty() ? std::string() : "; did you mean '" + nearest + "'?";
}
