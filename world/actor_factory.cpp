#include "world/actor_factory.h"

#include <utility>

#include "world/actor_catalogue.h"

Actor* CreateActor(std::string className, std::string name)
{
    const ActorClass* actorClass = FindActorClass(className);
    return actorClass ? actorClass->make(std::move(name)) : nullptr;
}
