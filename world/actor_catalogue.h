#pragma once
// The actor classes a scene can name, each described once: its name as the
// scene writes it, the parameters it reads besides the entity's own, the
// events that change what it does, the entities it accepts as children, and
// how it is made. The factory makes actors from it; the checker judges scenes
// by it. Also the parameters of every entity and of a light, and the events
// a trigger may send.

#include <string>
#include <string_view>
#include <vector>

class Actor;

// The class names, as the scene writes them and as each actor gives its own.
namespace actor_class {
inline constexpr char kObjectPulsator[] = "ObjectPulsator";
inline constexpr char kBassBouncer[] = "BassBouncer";
inline constexpr char kLightFlicker[] = "LightFlicker";
inline constexpr char kCamera[] = "Camera";
inline constexpr char kLineFX[] = "LineFX";
inline constexpr char kGreeter[] = "Greeter";
}  // namespace actor_class

enum class AcceptsEntities { kAny, kLightsOnly, kObjectsOnly, kNone };

struct ActorParam {
    std::string name;     // the parameter's element in the actor
    std::string meaning;  // what the actor does with it
};

struct ActorClass {
    std::string name;                   // as the scene writes it
    std::vector<ActorParam> params;     // besides Position, Rotation and Scale
    std::vector<std::string> reactsTo;  // the events that change what it does
    AcceptsEntities accepts = AcceptsEntities::kAny;
    Actor* (*make)(std::string actorName) = nullptr;  // a new actor of the class
};

// Every class, in the order the catalogue lists them.
const std::vector<ActorClass>& ActorClasses();
// The class of that exact name, or null.
const ActorClass* FindActorClass(std::string_view name);
std::vector<std::string> ActorClassNames();

// The parameters every entity has.
const std::vector<std::string>& EntityParams();
// Those of a light: the entity's and Color, Cutoff.
const std::vector<std::string>& LightParams();
// Those of an actor of the class: the entity's and the class's own.
std::vector<std::string> ActorParams(const ActorClass& actorClass);

// The events a trigger may send.
const std::vector<std::string>& EventNames();
