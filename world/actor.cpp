#include "world/actor.h"

#include <utility>

#include "world/world.h"

Actor::Actor(std::string actorName) : entity_base(std::move(actorName))
{
    SubscribeTo("play");
    SubscribeTo("pause");
    SubscribeTo("stop");
}

Actor::~Actor()
{
    TheWorld().Forget(this);
}

void Actor::SubscribeTo(const std::string& event)
{
    SubscribeWhenPublished(this, event);
}
