#pragma once
// Places in a text by line and column, from byte offsets.

#include <cstddef>
#include <string_view>
#include <vector>

// Line and column (both from 1, the column in bytes) of an offset in a text.
struct LineColumn {
    int line = 1;
    int column = 1;
};

class TextLines {
public:
    explicit TextLines(std::string_view text);
    LineColumn At(size_t offset) const;

private:
    std::vector<size_t> lineStarts_;
};
