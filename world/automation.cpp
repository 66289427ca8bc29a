#include "world/automation.h"

#include <algorithm>

void Automation::AddKey(const AutomationKey& key)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto later = std::upper_bound(
        keys_.begin(), keys_.end(), key.time,
        [](float time, const AutomationKey& existing) { return existing.time > time; });
    keys_.insert(later, key);
}

void Automation::AddKeys(std::vector<AutomationKey> keys)
{
    const auto earlier = [](const AutomationKey& a, const AutomationKey& b) { return a.time < b.time; };
    // Both steps are stable: equal times keep the order they were given in,
    // after the keys already there.
    std::stable_sort(keys.begin(), keys.end(), earlier);
    std::lock_guard<std::mutex> lock(mutex_);
    const auto added = keys_.insert(keys_.end(), keys.begin(), keys.end());
    std::inplace_merge(keys_.begin(), added, keys_.end(), earlier);
}

float CatmullRom(float p0, float p1, float p2, float p3, float s)
{
    return p1 + s * (0.5f * (p2 - p0) +
                     s * (0.5f * (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) +
                          s * 0.5f * (-p0 + 3.0f * p1 - 3.0f * p2 + p3)));
}

std::vector<AutomationKey> Automation::Keys() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return keys_;
}

AutomationKey Automation::Evaluate()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return EvaluateLocked();
}

bool Automation::Advance(float demoTime, AutomationKey* value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (keys_.empty() || !(keys_.back().time > demoTime)) {
        return false;
    }
    time = demoTime;
    *value = EvaluateLocked();
    return true;
}

AutomationKey Automation::EvaluateLocked()
{
    const size_t n = keys_.size();
    if (n == 0) {
        return current;
    }
    if (n == 1) {
        current = keys_[0];
        return current;
    }
    size_t i = 0;
    while (i + 1 < n - 1 && !(keys_[i + 1].time > time)) {
        ++i;
    }
    if (!(keys_[i + 1].time > time)) {
        i = 0;  // past the last key
    }
    const AutomationKey& from = keys_[i];
    const AutomationKey& to = keys_[i + 1];
    const float span = to.time - from.time;
    const uint32_t count = keys_[0].count < 9 ? keys_[0].count : 9;
    if (span == 0.0f) {
        // Two keys at one time (only possible before the first key, where the
        // curve would divide by zero): the first key's value.
        for (uint32_t j = 0; j < count; ++j) {
            current.values[j] = from.values[j];
        }
        return current;
    }
    const float s = (time - from.time) / span;
    const AutomationKey& before = i >= 1 ? keys_[i - 1] : from;
    for (uint32_t j = 0; j < count; ++j) {
        current.values[j] =
            CatmullRom(before.values[j], from.values[j], to.values[j], to.values[j], s);
    }
    return current;
}
