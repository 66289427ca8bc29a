#include "world/actor_catalogue.h"

#include <utility>

#include "world/bass_bouncer.h"
#include "world/engine_camera.h"
#include "world/greeter.h"
#include "world/light_flicker.h"
#include "world/line_fx.h"
#include "world/object_pulsator.h"

namespace {

template <typename ActorType>
Actor* Make(std::string actorName)
{
    return new ActorType(std::move(actorName));
}

}  // namespace

const std::vector<ActorClass>& ActorClasses()
{
    using namespace actor_class;
    static const std::vector<ActorClass> classes = {
        {kObjectPulsator,
         {{"Params", "x damps the speed at which the shattered triangles fly apart"}},
         {"play", "pause", "stop", "destroy", "restore"},
         AcceptsEntities::kObjectsOnly,
         Make<ObjectPulsator>},
        {kBassBouncer, {}, {}, AcceptsEntities::kAny, Make<BassBouncer>},
        {kLightFlicker, {}, {"play", "pause", "stop"}, AcceptsEntities::kLightsOnly, Make<LightFlicker>},
        {kCamera, {}, {"activate"}, AcceptsEntities::kNone, Make<EngineCamera>},
        {kLineFX, {}, {}, AcceptsEntities::kNone, Make<LineFX>},
        {kGreeter, {}, {"activate"}, AcceptsEntities::kNone, Make<Greeter>},
    };
    return classes;
}

const ActorClass* FindActorClass(std::string_view name)
{
    for (const ActorClass& actorClass : ActorClasses()) {
        if (actorClass.name == name) {
            return &actorClass;
        }
    }
    return nullptr;
}

std::vector<std::string> ActorClassNames()
{
    std::vector<std::string> names;
    for (const ActorClass& actorClass : ActorClasses()) {
        names.push_back(actorClass.name);
    }
    return names;
}

const std::vector<std::string>& EntityParams()
{
    static const std::vector<std::string> params = {"Position", "Rotation", "Scale"};
    return params;
}

const std::vector<std::string>& LightParams()
{
    static const std::vector<std::string> params = {"Position", "Rotation", "Scale", "Color", "Cutoff"};
    return params;
}

std::vector<std::string> ActorParams(const ActorClass& actorClass)
{
    std::vector<std::string> params = EntityParams();
    for (const ActorParam& param : actorClass.params) {
        params.push_back(param.name);
    }
    return params;
}

const std::vector<std::string>& EventNames()
{
    static const std::vector<std::string> names = {"play",    "pause",   "stop", "activate",
                                                   "destroy", "restore", "exit"};
    return names;
}
