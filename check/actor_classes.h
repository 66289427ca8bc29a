#pragma once
// What the checker knows of each kind of entity: the actor classes the
// factory makes, their parameters, the events they take and the entities
// they accept; the parameters of objects and lights.

#include <string>
#include <vector>

enum class AcceptsEntities { kAny, kLightsOnly, kObjectsOnly, kNone };

struct ActorClass {
    std::string name;                 // as the scene writes it
    std::vector<std::string> params;  // besides Position, Rotation and Scale
    std::vector<std::string> reactsTo;  // the events that change what it does
    AcceptsEntities accepts = AcceptsEntities::kAny;
};

const std::vector<ActorClass>& ActorClasses();
// The class of that exact name, or null.
const ActorClass* FindActorClass(const std::string& name);
std::vector<std::string> ActorClassNames();

// The parameters every entity has.
const std::vector<std::string>& EntityParams();
// Those of a light: the entity's and Color, Cutoff.
const std::vector<std::string>& LightParams();
// Those of an actor of the class.
std::vector<std::string> ActorParams(const ActorClass& actorClass);

// The events a trigger may send.
const std::vector<std::string>& EventNames();
