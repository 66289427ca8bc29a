#pragma once
// Makes lights flicker like failing lamps: each light runs its own cycle of
// steady, fading out, dark and fading in, with random durations. Inert until
// "play"; "pause" toggles it; "stop" ends it. Both restore the base colours.
//
// The pattern is the same at every frame rate: a state that ends within a
// frame hands the time past its end to the next one (several may end in one
// long frame), and each light draws its durations from a random sequence of
// its own, so neither the order in which lights end their states within a
// frame nor other actors drawing random numbers change what it draws. Timed
// events start and stop it at their own time, not at the frame's.

#include <vector>

#include "world/actor.h"
#include "world/random.h"

class LightFlicker : public Actor {
public:
    enum State : int { kSteady = 0, kFadingIn = 1, kDark = 2, kFadingOut = 3 };

    struct Entry {
        Light* light;
        Vec3 baseColour;
        int state = kSteady;
        float timerMs = 0.0f;
        float durationMs = 10.0f;
        RandomSequence random = NewRandomSequence();
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
    // Ends the current state: the next one, with a fresh duration.
    static void NextState(Entry& entry);

    std::vector<Entry> entries_;
    bool enabled_ = false;
    // Show time the lights are owed (or, below 0, have run too long) since
    // a timed event that started or stopped them late.
    float owedMs_ = 0.0f;
};
