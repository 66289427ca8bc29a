#pragma once
// Start-up and shutdown.

#include "app/command_line.h"
#include "render/graphics_backend.h"

class MusicPlayer;

// The scene file that makes a folder a production.
inline constexpr char kSceneFile[] = "demofinal.xml";

// Plays the production in the working directory as the options say, drawn
// with the back end's renderer; played live, the music sounds on the given
// player (a recording decodes the music itself). 0 after a normal end; -1
// when the viewport cannot be set up; 1 when a recording could not be made.
int DemoMain(const PlayOptions& options, const GraphicsBackend& graphics, MusicPlayer& music);

// Checks the production in the working directory and prints what it finds,
// opening no window and no sound device; the shader files are compiled with
// the back end's compiler. 0 when there is no error, else 1.
int CheckMain(const GraphicsBackend& graphics);
