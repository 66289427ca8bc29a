#pragma once
// The sections that define things by name: meshes, materials, objects,
// lights and actors. Each rule records the names its section defines (the
// first of each) for the rules that refer to them.

#include "check/scene_context.h"

// Mesh and material entries: empty elements named after their files.
void CheckFileEntries(SceneContext& context);
void CheckObjects(SceneContext& context);
void CheckLights(SceneContext& context);
void CheckActors(SceneContext& context);

// Reports a name that an earlier entity of any kind already has.
void CheckNameUnique(const MarkedElement& element, const char* kind, SceneContext& context);
