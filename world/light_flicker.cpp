#include "world/light_flicker.h"

#include <utility>

#include "core/log.h"
#include "world/random.h"

namespace {

// How far the current state has run, 0..1; a state of no length is over.
float Progress(const LightFlicker::Entry& entry)
{
    return entry.durationMs > 0.0f ? entry.timerMs / entry.durationMs : 1.0f;
}

// A new duration for the next state, from one fresh random value.
float NextDuration(float scaleMs)
{
    return (NextRandom() + 1.0f) * scaleMs;
}

}  // namespace

LightFlicker::LightFlicker(std::string flickerName) : Actor(std::move(flickerName))
{
}

int LightFlicker::AddEntity(entity_base* entity)
{
    Light* light = dynamic_cast<Light*>(entity);
    if (!light) {
        return -1;
    }
    Log(light->name, " Color: ", light->Color);
    entries_.push_back(Entry{light, light->Color});
    return 0;
}

int LightFlicker::GetEntityCount()
{
    return static_cast<int>(entries_.size());
}

entity_base* LightFlicker::GetEntity(int index)
{
    return index >= 0 && index < GetEntityCount() ? entries_[index].light : nullptr;
}

std::string LightFlicker::GetClassName()
{
    return "LightFlicker";
}

void LightFlicker::Trigger(std::string event)
{
    if (event == "play") {
        enabled_ = true;
    } else if (event == "pause") {
        enabled_ = !enabled_;
        RestoreColours();
    } else if (event == "stop") {
        enabled_ = false;
        RestoreColours();
    }
}

void LightFlicker::RestoreColours()
{
    for (Entry& entry : entries_) {
        entry.light->Color = entry.baseColour;
    }
}

void LightFlicker::Update(float dtMs)
{
    if (!enabled_) {
        return;
    }
    for (Entry& entry : entries_) {
        Step(entry, dtMs);
    }
}

void LightFlicker::Step(Entry& entry, float dtMs)
{
    entry.timerMs += dtMs;
    const bool expired = entry.timerMs > entry.durationMs;
    Vec3& colour = entry.light->Color;
    switch (entry.state) {
    case kSteady:
        if (expired) {
            entry.state = kFadingOut;
            entry.durationMs = NextDuration(60.0f);
            entry.timerMs = 0.0f;
        }
        return;
    case kFadingOut:
        if (!expired) {
            colour = entry.baseColour.Times(1.0f - Progress(entry));
            return;
        }
        entry.state = kDark;
        entry.durationMs = NextDuration(300.0f);
        entry.timerMs = 0.0f;
        colour.Clear();
        return;
    case kDark:
        if (expired) {
            entry.state = kFadingIn;
            entry.durationMs = NextDuration(60.0f);
            entry.timerMs = 0.0f;
        }
        return;
    case kFadingIn:
        if (!expired) {
            colour = entry.baseColour.Times(Progress(entry));
            return;
        }
        entry.state = kSteady;
        entry.durationMs = NextDuration(150.0f);
        entry.timerMs = 0.0f;
        colour = entry.baseColour;
        return;
    default:
        entry.state = kSteady;
        return;
    }
}
