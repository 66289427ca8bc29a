#pragma once
// An actor is an entity with behaviour: updated every frame with the frame
// time, and reached by named events through Trigger.

#include <string>

#include "world/entity.h"

class Actor : public entity_base {
public:
    // Subscribes the new actor to "play", "pause" and "stop", in this order.
    // Events reach it once it is published (AddActor, or PublishSubscriptions
    // for an actor that is not listed).
    explicit Actor(std::string name);
    // Leaves the registry, so that no event reaches a destroyed actor.
    ~Actor() override;

    // 0 accepted, -1 refused.
    virtual int AddEntity(entity_base* entity) = 0;
    virtual int GetEntityCount() = 0;
    // Null when the index is not below the count.
    virtual entity_base* GetEntity(int index) = 0;
    virtual std::string GetClassName() = 0;
    // Milliseconds since the previous frame.
    virtual void Update(float dtMs) = 0;

protected:
    // Subscribes this actor to a further event; for use in constructors.
    void SubscribeTo(const std::string& event);
};

// An actor that takes no entities: AddEntity accepts anything and keeps
// nothing (cameras, the line effect, the credits).
class EntitylessActor : public Actor {
public:
    using Actor::Actor;

    int AddEntity(entity_base*) override { return 0; }
    int GetEntityCount() override { return 0; }
    entity_base* GetEntity(int) override { return nullptr; }
};
