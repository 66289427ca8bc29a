#include "check/actor_classes.h"

const std::vector<ActorClass>& ActorClasses()
{
    static const std::vector<ActorClass> classes = {
        {"ObjectPulsator", {"Params"}, {"play", "pause", "stop", "destroy", "restore"}, AcceptsEntities::kObjectsOnly},
        {"BassBouncer", {}, {}, AcceptsEntities::kAny},
        {"LightFlicker", {}, {"play", "pause", "stop"}, AcceptsEntities::kLightsOnly},
        {"Camera", {}, {"activate"}, AcceptsEntities::kNone},
        {"LineFX", {}, {}, AcceptsEntities::kNone},
        {"Greeter", {}, {"activate"}, AcceptsEntities::kNone},
    };
    return classes;
}

const ActorClass* FindActorClass(const std::string& name)
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
    params.insert(params.end(), actorClass.params.begin(), actorClass.params.end());
    return params;
}

const std::vector<std::string>& EventNames()
{
    static const std::vector<std::string> names = {"play",    "pause",   "stop", "activate",
                                                   "destroy", "restore", "exit"};
    return names;
}
