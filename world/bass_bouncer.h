#pragma once
// Makes its entities throb on a fixed beat and spin slowly. The pulse level
// is shared by every bouncer: any bouncer's beat raises it for all, and each
// bouncer's update lets it decay once. The beats fall a whole period apart
// from the bouncer's first frame of show time on, at any frame rate.

#include <vector>

#include "world/actor.h"

class BassBouncer : public Actor {
public:
    // One beat period in milliseconds.
    static constexpr float kBeatMs = 1363.6364f;
    // The pulse level each beat raises the entities' scale to.
    static constexpr float kPeakLevel = 1.1f;

    explicit BassBouncer(std::string name);

    // Any entity; its current Scale becomes its base scale.
    int AddEntity(entity_base* entity) override;
    int GetEntityCount() override;
    entity_base* GetEntity(int index) override;
    std::string GetClassName() override;
    // Scale = base x pulse level; Rotation spins at a rate set by this
    // bouncer's own Scale.x.
    void Update(float dtMs) override;

    static float PulseLevel();
    static void SetPulseLevel(float level);

private:
    struct Entry {
        entity_base* entity;
        Vec3 baseScale;
    };
    std::vector<Entry> entries_;
    float beatTimerMs_ = 0.0f;
};
