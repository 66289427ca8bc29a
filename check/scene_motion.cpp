#include "check/scene_motion.h"

#include <algorithm>
#include <cmath>

#include "check/value_rules.h"

namespace {

constexpr const char* kPartNames[kTransformParts] = {"Position", "Rotation", "Scale"};

int PartNamed(const std::string& name)
{
    for (int part = 0; part < kTransformParts; ++part) {
        if (name == kPartNames[part]) {
            return part;
        }
    }
    return -1;
}

// The parts an object or actor element gives: each child named like one
// sets it, the later of two winning.
EntityMotion GivenMotion(const MarkedElement& element)
{
    EntityMotion motion;
    for (const MarkedElement* child : element.children) {
        if (const int part = PartNamed(child->name); part >= 0) {
            motion.given[part] = VectorOf(*child);
        }
    }
    return motion;
}

// One key as the player reads it: the first four values, whatever their
// names, 0 where missing; false when its time is not a finite number (the
// player skips it).
bool ReadKey(const MarkedElement& element, AutomationKey* key)
{
    float values[4] = {};
    for (size_t i = 0; i < element.attributes.size() && i < 4; ++i) {
        values[i] = LeadingNumber(element.attributes[i].value);
    }
    if (!std::isfinite(values[0])) {
        return false;
    }
    key->time = values[0];
    key->values[0] = values[1];
    key->values[1] = values[2];
    key->values[2] = values[3];
    key->count = 3;
    return true;
}

}  // namespace

Vec3 EntityMotion::At(TransformPart part, double time) const
{
    Automation* track = tracks[part].get();
    AutomationKey value;
    if (!track) {
        return given[part];
    }
    if (!track->Advance(static_cast<float>(time), &value)) {
        value = lastKeys[part];
    }
    return Vec3{value.values[0], value.values[1], value.values[2]};
}

double EntityMotion::LastKeyTime() const
{
    double last = 0.0;
    for (int part = 0; part < kTransformParts; ++part) {
        if (tracks[part]) {
            last = std::max(last, double{lastKeys[part].time});
        }
    }
    return last;
}

void EntityMotion::Settle()
{
    for (int part = 0; part < kTransformParts; ++part) {
        if (!tracks[part]) {
            continue;
        }
        const std::vector<AutomationKey> keys = tracks[part]->Keys();
        if (keys.empty()) {
            tracks[part].reset();  // no key the player keeps: nothing moves the part
        } else {
            lastKeys[part] = keys.back();
        }
    }
}

SceneMotion::SceneMotion(const SceneContext& context)
{
    for (const auto& [name, element] : context.objects) {
        objects_.emplace(name, GivenMotion(*element));
    }
    for (const auto& [name, actor] : context.actors) {
        actors_.emplace(name, GivenMotion(*actor.element));
    }
    if (const MarkedElement* section = context.sections[kAutomations]) {
        for (const MarkedElement* automation : section->children) {
            if (!SceneContext::Misread(*automation)) {
                AddTrack(*automation);
            }
        }
    }
    for (auto* entities : {&objects_, &actors_}) {
        for (auto& [name, motion] : *entities) {
            motion.Settle();
        }
    }
}

const EntityMotion* SceneMotion::Find(const std::string& name) const
{
    return const_cast<SceneMotion*>(this)->FindMutable(name);
}

const EntityMotion* SceneMotion::FindActor(const std::string& name) const
{
    const auto actor = actors_.find(name);
    return actor == actors_.end() ? nullptr : &actor->second;
}

EntityMotion* SceneMotion::FindMutable(const std::string& name)
{
    if (const auto object = objects_.find(name); object != objects_.end()) {
        return &object->second;
    }
    const auto actor = actors_.find(name);
    return actor == actors_.end() ? nullptr : &actor->second;
}

void SceneMotion::AddTrack(const MarkedElement& automation)
{
    const size_t cut = automation.name.find("::");
    if (cut == std::string::npos) {
        return;
    }
    const int part = PartNamed(automation.name.substr(cut + 2));
    EntityMotion* motion = FindMutable(automation.name.substr(0, cut));
    if (part < 0 || !motion) {
        return;  // a light, a parameter that does not move or place anything, or nothing the player makes
    }
    // Two elements for one parameter fill one track, as in the player.
    std::unique_ptr<Automation>& track = motion->tracks[part];
    if (!track) {
        track = std::make_unique<Automation>();
        motion->automations[part] = &automation;
    }
    for (const MarkedElement* keyElement : automation.children) {
        AutomationKey key;
        if (ReadKey(*keyElement, &key)) {
            track->AddKey(key);
        }
    }
}
