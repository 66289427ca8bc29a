#pragma once
// Makes lights flicker like failing lamps: each light runs its own cycle of
// steady, fading out, dark and fading in, with random durations. Inert until
// "play"; "pause" toggles it; "stop" ends it. Both restore the base colours.

#include <vector>

#include "world/actor.h"

class LightFlicker : public Actor {
public:
    enum State : int { kSteady = 0, kFadingIn = 1, kDark = 2, kFadingOut = 3 };

    struct Entry {
        Light* light;
        Vec3 baseColour;
        int state = kSteady;
        float timerMs = 0.0f;
        float durationMs = 10.0f;
    };

    explicit LightFlicker(std::string name);

    // Lights only; logs the light's base colour.
    int AddEntity(entity_base* entity) override;
    int GetEntityCount() override;
    entity_base* GetEntity(int index) override;
    std::string GetClassName() override;
    void Trigger(std::string event) override;
    void Update(float dtMs) override;

    bool Enabled() const { return enabled_; }
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    void RestoreColours();
    static void Step(Entry& entry, float dtMs);

    std::vector<Entry> entries_;
    bool enabled_ = false;
};
