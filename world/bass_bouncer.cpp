#include "world/bass_bouncer.h"

#include <utility>

namespace {
float pulseLevel = 1.0f;
}

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
    return "BassBouncer";
}

void BassBouncer::Update(float dtMs)
{
    beatTimerMs_ += dtMs;
    if (beatTimerMs_ >= kBeatMs) {
        pulseLevel = kPeakLevel;
        beatTimerMs_ = 0.0f;
    } else if (pulseLevel > 0.8f) {
        pulseLevel -= dtMs * 0.0005f;
    }
    const Vec3 spin = Vec3{3.14f, 1.5f, -0.5f}.Times(0.0001f).Times(pulseLevel).Times(dtMs).Times(Scale.x);
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
