#include "scene/text_lines.h"

#include <algorithm>

TextLines::TextLines(std::string_view text)
{
    lineStarts_.push_back(0);
    for (size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1)) {
        lineStarts_.push_back(i + 1);
    }
}

LineColumn TextLines::At(size_t offset) const
{
    const auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    const auto line = next - lineStarts_.begin();  // at least 1: the first start is 0
    return {static_cast<int>(line), static_cast<int>(offset - lineStarts_[static_cast<size_t>(line - 1)]) + 1};
}
