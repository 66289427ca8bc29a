#include "world/light_flicker.h"

#include <algorithm>
#include <utility>

#include "core/log.h"
#include "world/actor_catalogue.h"
#include "world/world.h"

namespace {

// How far the current state has run, 0..1; a state of no length is over.
float Progress(const LightFlicker::Entry& entry)
{
    return entry.durationMs > 0.0f ? entry.timerMs / entry.durationMs : 1.0f;
}

// A frame passes through at most this many states of a light: enough for a
// stall of many seconds, and an end to a run of states that last no time.
constexpr int kMostStatesInAFrame = 64;

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
    return actor_class::kLightFlicker;
}

void LightFlicker::Trigger(std::string event)
{
    const bool was = enabled_;
    if (event == "play") {
        enabled_ = true;
    } else if (event == "pause") {
        enabled_ = !enabled_;
        RestoreColours();
    } else if (event == "stop") {
        enabled_ = false;
        RestoreColours();
    }
    // A timed event acts at its own time: started late, the lights owe the
    // flicker the time since; stopped late, they have run that time too long.
    if (enabled_ != was) {
        owedMs_ += enabled_ ? TheWorld().EventLatenessMs() : -TheWorld().EventLatenessMs();
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
    const float ms = std::max(0.0f, dtMs + owedMs_);
    owedMs_ = std::min(0.0f, dtMs + owedMs_);
    for (Entry& entry : entries_) {
        Step(entry, ms);
    }
}

void LightFlicker::Step(Entry& entry, float dtMs)
{
    entry.timerMs += dtMs;
    int ended = 0;
    for (; entry.timerMs > entry.durationMs && ended < kMostStatesInAFrame; ++ended) {
        entry.timerMs -= entry.durationMs;
        NextState(entry);
    }
    Vec3& colour = entry.light->Color;
    switch (entry.state) {
    case kFadingOut:
        colour = entry.baseColour.Times(1.0f - Progress(entry));
        return;
    case kFadingIn:
        colour = entry.baseColour.Times(Progress(entry));
        return;
    case kDark:
        if (ended > 0) {
            colour.Clear();
        }
        return;
    case kSteady:
        if (ended > 0) {
            colour = entry.baseColour;
        }
        return;
    default:
        entry.state = kSteady;
        return;
    }
}

void LightFlicker::NextState(Entry& entry)
{
    // The next state, and the scale of its random length in milliseconds.
    switch (entry.state) {
    case kSteady:
        entry.state = kFadingOut;
        entry.durationMs = (entry.random.Next() + 1.0f) * 60.0f;
        return;
    case kFadingOut:
        entry.state = kDark;
        entry.durationMs = (entry.random.Next() + 1.0f) * 300.0f;
        return;
    case kDark:
        entry.state = kFadingIn;
        entry.durationMs = (entry.random.Next() + 1.0f) * 60.0f;
        return;
    case kFadingIn:
        entry.state = kSteady;
        entry.durationMs = (entry.random.Next() + 1.0f) * 150.0f;
        return;
    default:
        entry.state = kSteady;
        return;
    }
}
