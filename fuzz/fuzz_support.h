#pragma once
// What the fuzzing entries share: a silent log, the input as a resource
// file, and a working directory of small meshes and textures for whole
// scenes to refer to.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/file_manager.h"

// Discards the log from the first call on: the loaders log every element,
// which would otherwise dominate each run.
void QuietLogOnce();

// On the first call: makes a fresh directory holding model/ and tex/ with
// the meshes and textures a scene can name, makes it the working directory,
// registers the search paths and installs a renderer that draws nothing.
void PrepareSceneDirectoryOnce();

// The input as a resource file named "fuzzed" of the given type. Its bytes
// are copied into *storage at exactly the input's size, so that a read past
// the end is seen. False for inputs too large for a resource file.
bool FuzzedFile(const uint8_t* data, size_t size, int type, std::unique_ptr<uint8_t[]>* storage,
                ResourceFile* file);
