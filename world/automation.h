#pragma once
// Keyframe tracks that drive one parameter of one entity along the demo clock.

#include <cstdint>
#include <mutex>
#include <vector>

struct AutomationKey {
    float values[9] = {};
    uint32_t count = 0;  // meaningful components; the scene loader makes 3
    float time = 0.0f;   // demo time, seconds
};

// The Catmull-Rom curve through p1 (s = 0) and p2 (s = 1), evaluated in the
// nested order that every frame uses.
float CatmullRom(float p0, float p1, float p2, float p3, float s);

// The loading thread adds keys to a track that the main thread may already
// be evaluating; each track guards its keys with a lock of its own.
class Automation {
public:
    // Keeps keys sorted by time; equal times stay in insertion order.
    void AddKey(const AutomationKey& key);
    // The same for many keys at once, in any order, in n log n: the result
    // is that of adding them one by one in the order given.
    void AddKeys(std::vector<AutomationKey> keys);
    std::vector<AutomationKey> Keys() const;
    // The track's value at `time`; also kept as `current`. Each segment runs
    // from key i to key i+1 with the key before i as the first control point
    // and key i+1 repeated as the last. Before the first key the first
    // segment is extended backwards.
    AutomationKey Evaluate();
    // The per-frame step: while the last key still lies ahead of demoTime,
    // evaluates the track there and returns true; past it, returns false.
    bool Advance(float demoTime, AutomationKey* value);

    float time = 0.0f;  // demo time of the last evaluation
    AutomationKey current;

private:
    AutomationKey EvaluateLocked();

    mutable std::mutex mutex_;
    std::vector<AutomationKey> keys_;
};
