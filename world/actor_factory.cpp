#include "world/actor_factory.h"

#include <utility>

#include "world/actor_catalogue.h"

ActorFactory& ActorFactory::Instance()
{
    static ActorFactory* factory = new ActorFactory;
    return *factory;
}

Actor* ActorFactory::CreateActor(std::string className, std::string name)
{
    const ActorClass* actorClass = FindActorClass(className);
    return actorClass ? actorClass->make(std::move(name)) : nullptr;
}
