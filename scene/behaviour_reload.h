#pragma once
// Reading a changed scene file's behaviour again while the show plays: its
// automations and timed events replace the ones the world has. Objects,
// lights and actors stay as they are; names in the new sections refer to
// them.

#include <string>

// 0 when the file was read (a section it lacks leaves the world without
// tracks or events of that kind); -1, with the world unchanged, when it
// cannot be read. Main thread, once the scene has been loaded.
int ReloadBehaviour(const std::string& fileName);
