#pragma once
// The library's way of failing: false, with the reason for the caller.

#include <string>

// Sets *error (when given) to the reason and returns false.
inline bool Fail(std::string* error, const std::string& reason)
{
    if (error) {
        *error = reason;
    }
    return false;
}
