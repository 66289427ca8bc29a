#include "world/actor_factory.h"

#include <utility>

#include "world/bass_bouncer.h"
#include "world/engine_camera.h"
#include "world/greeter.h"
#include "world/light_flicker.h"
#include "world/line_fx.h"
#include "world/object_pulsator.h"

ActorFactory& ActorFactory::Instance()
{
    static ActorFactory* factory = new ActorFactory;
    return *factory;
}

Actor* ActorFactory::CreateActor(std::string className, std::string name)
{
    if (className == "ObjectPulsator") {
        return new ObjectPulsator(std::move(name));
    }
    if (className == "BassBouncer") {
        return new BassBouncer(std::move(name));
    }
    if (className == "LightFlicker") {
        return new LightFlicker(std::move(name));
    }
    if (className == "Camera") {
        return new EngineCamera(std::move(name));
    }
    if (className == "LineFX") {
        return new LineFX(std::move(name));
    }
    if (className == "Greeter") {
        return new Greeter(std::move(name));
    }
    return nullptr;
}
