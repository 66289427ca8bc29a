#pragma once
// Taking one entry out of a registration list.

#include <algorithm>

// Removes the first entry equal to `item`; false when there is none.
template <typename List, typename Item>
bool Unlink(List& list, const Item& item)
{
    const auto found = std::find(list.begin(), list.end(), item);
    if (found == list.end()) {
        return false;
    }
    list.erase(found);
    return true;
}
