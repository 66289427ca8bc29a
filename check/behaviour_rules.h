#pragma once
// The sections that act on what the others define: automations (keyframe
// tracks aimed at entity parameters) and event triggers (timed events aimed
// at actors). They run after the entity rules have recorded the names.

#include "check/scene_context.h"

void CheckAutomations(SceneContext& context);
void CheckEventTriggers(SceneContext& context);

// Seconds as the player's log writes them (six significant digits).
std::string SecondsText(double seconds);
