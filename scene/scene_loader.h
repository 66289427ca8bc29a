#pragma once
// The scene file: root "base", element "scene", and seven sections loaded in
// a fixed order, each referring only to what earlier ones made: meshes,
// materials, objects, lights, actors, automations, event triggers.

#include <cstddef>
#include <string>

class XMLTagExtended;
class entity_base;

// 0 when the file was read (whatever its sections held); -1 when it cannot be.
int LoadScene(const std::string& fileName);
// The same for a scene description already in memory; `label` stands for the
// file name in the log lines.
void LoadSceneText(const char* bytes, size_t size, const std::string& label);

// Placed objects: Position, Rotation and Scale children, and the names of
// their mesh and material (the first attribute of Mesh and Material).
void LoadObjects(XMLTagExtended* section);
// Gives the entity its mesh and material and registers it: the registry's
// result, or -1 (logged) when either is not in the world.
int BindObject(entity_base* entity, const std::string& meshName, const std::string& materialName);
// Lights: Color (default 0.5 grey), Position and Cutoff (default x 2) children.
void LoadLights(XMLTagExtended* section);
