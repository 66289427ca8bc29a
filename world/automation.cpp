#include "world/automation.h"

#include <algorithm>

void Automation::AddKey(const AutomationKey& key)
{
    const auto later = std::upper_bound(
        keys_.begin(), keys_.end(), key.time,
        [](float time, const AutomationKey& existing) { return existing.time > time; });
    keys_.insert(later, key);
}
