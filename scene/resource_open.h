#pragma once
// Resource files as the section loaders open them.

#include <memory>
#include <string>
#include <string_view>

#include "core/file_manager.h"

// A copy of the cached file of that name and type, else of the file freshly
// opened through the file manager; null (logged "openfileerror") when neither.
std::unique_ptr<ResourceFile> OpenResourceFile(std::string_view name, int type);

class XMLTagExtended;

// Calls `load` with the name of each child element of a section (a file to
// load), in document order, until the demo is asked to end.
void LoadEachNamedFile(XMLTagExtended* section, void (*load)(const std::string& name));
