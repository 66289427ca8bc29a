#pragma once
// The scene's outline: the root "base", its "scene", and the seven sections
// in it. Finds the sections the player reads and reports the ones it does
// not: missing, repeated, unknown or standing elsewhere.

#include "check/scene_context.h"

void CheckSections(const MarkedDocument& document, SceneContext& context);
