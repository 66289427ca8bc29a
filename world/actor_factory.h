#pragma once
// Makes actors by their class name as the scene file writes it.

#include <string>

class Actor;

// A class the catalogue lists (world/actor_catalogue.h), named exactly; any
// other class name gives null. The actor lives for the rest of the run.
Actor* CreateActor(std::string className, std::string name);
