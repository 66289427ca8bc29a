#include "world/bass_bouncer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "world/actor_catalogue.h"

namespace {

constexpr float kRestLevel = 0.8f;
constexpr float kDecayPerMs = 0.0005f;
// Frame times and the beat period are rounded: a beat due this little after
// a frame counts as on it, so that a beat that falls on a frame (every 15 s
// at 60 frames a second) falls on it at every frame rate.
constexpr float kSameMomentMs = 0.05f;

float pulseLevel = 1.0f;

// The level `ms` after it stood at `level`, falling to the rest level and
// staying there, and the area under it over that time (level x ms).
struct Decay {
    float level;
    float area;
};

Decay DecayFrom(float level, float ms)
{
    if (level <= kRestLevel) {
        return {level, level * ms};
    }
    const float toRest = (level - kRestLevel) / kDecayPerMs;
    if (ms <= toRest) {
        return {level - ms * kDecayPerMs, ms * (level - 0.5f * ms * kDecayPerMs)};
    }
    return {kRestLevel, toRest * 0.5f * (level + kRestLevel) + (ms - toRest) * kRestLevel};
}

}  // namespace

BassBouncer::BassBouncer(std::string bouncerName) : Actor(std::move(bouncerName))
{
}

int BassBouncer::AddEntity(entity_base* entity)
{
    if (!entity) {
        return -1;
    }
    entries_.push_back(Entry{entity, entity->Scale});
    return 0;
}

int BassBouncer::GetEntityCount()
{
    return static_cast<int>(entries_.size());
}

entity_base* BassBouncer::GetEntity(int index)
{
    return index >= 0 && index < GetEntityCount() ? entries_[index].entity : nullptr;
}

std::string BassBouncer::GetClassName()
{
    return actor_class::kBassBouncer;
}

void BassBouncer::Update(float dtMs)
{
    // The beat keeps its period whatever the frame rate: the time since the
    // beat that fell inside this frame carries on, and the level has already
    // decayed over it. The level rests at 0.8 until the next beat. The spin
    // follows the level through the frame, before the beat and after it.
    const float before = pulseLevel;
    beatTimerMs_ += dtMs;
    Decay decay{};
    if (beatTimerMs_ >= kBeatMs - kSameMomentMs) {
        beatTimerMs_ = std::fmod(beatTimerMs_ + kSameMomentMs, kBeatMs) - kSameMomentMs;
        const float sinceBeat = std::clamp(beatTimerMs_, 0.0f, dtMs);
        const float untilBeat = DecayFrom(before, dtMs - sinceBeat).area;
        decay = DecayFrom(kPeakLevel, sinceBeat);
        decay.area += untilBeat;
    } else {
        decay = DecayFrom(before, dtMs);
    }
    pulseLevel = decay.level;
    const Vec3 spin = Vec3{3.14f, 1.5f, -0.5f}.Times(0.0001f).Times(decay.area).Times(Scale.x);
    for (Entry& entry : entries_) {
        entry.entity->Scale = entry.baseScale.Times(pulseLevel);
        entry.entity->Rotation.Add(spin.x, spin.y, spin.z);
    }
}

float BassBouncer::PulseLevel()
{
    return pulseLevel;
}

void BassBouncer::SetPulseLevel(float level)
{
    pulseLevel = level;
}
