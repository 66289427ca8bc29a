#include "check/markup_chars.h"

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
           c == '-' || c == ':';
}

bool IsLineSpace(char c)
{
    return c == '\t' || c == '\r' || c == '\n';
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

std::string Shown(char c)
{
    switch (c) {
    case ' ':
        return "a space";
    case '\t':
        return "a tab";
    case '\r':
    case '\n':
        return "a line end";
    default:
        if (static_cast<unsigned char>(c) >= 0x80) {
            return "a non-ASCII byte";
        }
        return std::string("'") + c + "'";
    }
}
