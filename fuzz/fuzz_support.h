#pragma once
// What the fuzzing entries share: a silent log, and a working directory of
// small meshes and textures for whole scenes to refer to.

// Discards the log from the first call on: the loaders log every element,
// which would otherwise dominate each run.
void QuietLogOnce();

// On the first call: makes a fresh directory holding model/ and tex/ with
// the meshes and textures a scene can name, makes it the working directory,
// registers the search paths and installs a renderer that draws nothing.
void PrepareSceneDirectoryOnce();
