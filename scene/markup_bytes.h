#pragma once
// What a byte means inside the scene's markup, and the small searches the
// markup scanner makes with that meaning. Used by the scanner alone.

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "scene/markup_scanner.h"

namespace markup_bytes {

// What a byte means inside markup.
enum ByteClass : unsigned char {
    kOther,     // skipped (quotes, tab, line ends, bytes 0x80 and above, ...)
    kName,      // A-Z a-z 0-9 _ . - :
    kSpace,     // the only separator
    kEquals,
    kSlash,
    kQuestion,
    kClose,     // '>'
};

constexpr std::array<ByteClass, 256> MakeByteClassTable()
{
    std::array<ByteClass, 256> table{};
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = kName;
    for (int c = 'a'; c <= 'z'; ++c) table[c] = kName;
    for (int c = '0'; c <= '9'; ++c) table[c] = kName;
    table['_'] = table['.'] = table['-'] = table[':'] = kName;
    table[' '] = kSpace;
    table['='] = kEquals;
    table['/'] = kSlash;
    table['?'] = kQuestion;
    table['>'] = kClose;
    return table;
}

inline constexpr std::array<ByteClass, 256> kByteClass = MakeByteClassTable();

inline ByteClass ClassOf(char c)
{
    return kByteClass[static_cast<unsigned char>(c)];
}

// Tab, carriage return, line feed: skipped, never separators.
inline bool IsLineSpace(char c)
{
    return c == '\t' || c == '\r' || c == '\n';
}

inline bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

// The end of the run of name characters that starts at p.
inline const char* RunEnd(const char* p, const char* end)
{
    while (p < end && ClassOf(*p) == kName) {
        ++p;
    }
    return p;
}

inline const char* Find(const char* p, const char* end, char wanted)
{
    const void* found = std::memchr(p, wanted, static_cast<size_t>(end - p));
    return found ? static_cast<const char*>(found) : end;
}

inline MarkupKind KindAfter(std::string_view rest)
{
    return rest.starts_with("!--")        ? MarkupKind::kComment
           : rest.starts_with("!DOCTYPE") ? MarkupKind::kDeclaration
           : rest.starts_with("!")        ? MarkupKind::kOtherBang
                                          : MarkupKind::kPlain;
}

}  // namespace markup_bytes
