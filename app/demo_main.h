#pragma once
// Start-up and shutdown.

#include "app/command_line.h"

// The scene file that makes a folder a production.
inline constexpr char kSceneFile[] = "demofinal.xml";

// Plays the production in the working directory as the options say. 0 after
// a normal end; -1 when the viewport cannot be set up; 1 when a recording
// could not be made.
int DemoMain(const PlayOptions& options);

// Checks the production in the working directory and prints what it finds,
// opening no window and no sound device. 0 when there is no error, else 1.
int CheckMain();
