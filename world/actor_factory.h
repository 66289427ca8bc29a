#pragma once
// Makes actors by their class name as the scene file writes it.

#include <string>

class Actor;

class ActorFactory {
public:
    // The one factory, made on first use and kept for the rest of the run.
    static ActorFactory& Instance();

    // A class the catalogue lists (world/actor_catalogue.h), named exactly;
    // any other class name gives null. The actor lives for the rest of the
    // run.
    Actor* CreateActor(std::string className, std::string name);

private:
    ActorFactory() = default;
};
