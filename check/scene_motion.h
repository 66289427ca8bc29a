#pragma once
// Where the scene puts its entities along the show: the Position, Rotation
// and Scale each entity is given, and the automations that drive them,
// evaluated at any show time the way the player's automations are.

#include <array>
#include <map>
#include <memory>
#include <string>

#include "check/scene_context.h"
#include "core/math.h"
#include "world/automation.h"

enum TransformPart { kPosition, kRotation, kScale, kTransformParts };

// One entity's transform over time.
struct EntityMotion {
    std::array<Vec3, kTransformParts> given{};  // as the scene sets them
    // The track that drives each part (null when none does) and the first
    // automation element that fills it.
    std::array<std::unique_ptr<Automation>, kTransformParts> tracks;
    std::array<const MarkedElement*, kTransformParts> automations{};
    // The last key of each track: where the part stays once the show has
    // passed it.
    std::array<AutomationKey, kTransformParts> lastKeys{};

    // The part's value at `time`: the track's while its last key lies
    // ahead, that key's value from then on, the given value without a track.
    Vec3 At(TransformPart part, double time) const;
    // The time of the last key of any of its tracks; 0 when none moves it.
    double LastKeyTime() const;
    // Notes each track's last key, once all its keys are in.
    void Settle();
};

// The entities that can be seen or look: the objects the player draws and
// the actors it makes, each with its motion.
class SceneMotion {
public:
    explicit SceneMotion(const SceneContext& context);

    // The entity the player's automations find by that name (an object
    // before an actor), or null.
    const EntityMotion* Find(const std::string& name) const;
    // The actor of that name, or null; an object of the same name takes
    // its automations, and the actor then keeps its given values.
    const EntityMotion* FindActor(const std::string& name) const;
    const std::map<std::string, EntityMotion>& Objects() const { return objects_; }

private:
    void AddTrack(const MarkedElement& automation);
    EntityMotion* FindMutable(const std::string& name);

    std::map<std::string, EntityMotion> objects_;
    std::map<std::string, EntityMotion> actors_;
};
