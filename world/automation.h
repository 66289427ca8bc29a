#pragma once
// Keyframe tracks that drive one parameter of one entity along the demo clock.

#include <cstdint>
#include <vector>

struct AutomationKey {
    float values[9] = {};
    uint32_t count = 0;  // meaningful components; the scene loader makes 3
    float time = 0.0f;   // demo time, seconds
};

class Automation {
public:
    // Keeps keys sorted by time; equal times stay in insertion order.
    void AddKey(const AutomationKey& key);
    const std::vector<AutomationKey>& Keys() const { return keys_; }

    float time = 0.0f;  // demo time of the last evaluation
    AutomationKey current;

private:
    std::vector<AutomationKey> keys_;
};
