#pragma once
// The checker's entry points: a whole production in the working directory,
// or the text of one scene file (for a scene that changed while the show
// plays).

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "check/diagnostics.h"
#include "check/scene_context.h"

// Checks a scene text: its markup, sections, objects, lights, actors,
// automations and triggers (not the files it names). Findings go to `found`
// under `fileName`; trigger times are checked against the music's length
// when it is given.
void CheckSceneText(const std::string& fileName, std::string_view text, std::optional<double> musicSeconds,
                    Diagnostics& found);

// Reads the scene file and checks its text as above; a file that cannot be
// read is an error.
Diagnostics CheckSceneFile(const std::string& sceneFile, std::optional<double> musicSeconds);

// Checks the production in the working directory: the scene file, the mesh
// and texture files it names, the music and the shader files; prints each
// finding and the summary line. 0 when there is no error, 1 otherwise.
// `graphicsChecks`, when given, adds the findings of checks made by the
// layers above on a graphics context (compiling the shader files) and says
// what the context allows, which the texture checks then hold the textures
// to. A check asked to end (StopRequested) stops between two steps and
// prints one line saying so instead of its findings.
int CheckProduction(const std::string& sceneFile, const std::string& musicFile, std::ostream& out,
                    const std::function<GraphicsFacts(Diagnostics&)>& graphicsChecks = {});
