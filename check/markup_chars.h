#pragma once
// The bytes of the scene text as the scene reader classes them, and how a
// finding names one.

#include <string>

// A-Z a-z 0-9 _ . - : (never a byte of 0x80 or above).
bool IsNameChar(char c);
// Tab, carriage return, line feed: skipped, never separators.
bool IsLineSpace(char c);
bool IsQuote(char c);
// "a space", "a tab", "a line end", "a non-ASCII byte" or the character quoted.
std::string Shown(char c);
