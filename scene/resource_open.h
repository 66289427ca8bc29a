#pragma once
// Resource files as the section loaders open them.

#include <memory>
#include <string>
#include <string_view>

#include "core/file_manager.h"

// A copy of the cached file of that name and type, else of the file freshly
// opened through the file manager (as much of it as the admission takes);
// null (logged "openfileerror") when neither. A file the admission refuses
// is not logged here: its reason goes to *refused.
std::unique_ptr<ResourceFile> OpenResourceFile(std::string_view name, int type, const ReadAdmission& admission = {},
                                               std::string* refused = nullptr);

class XMLTagExtended;

// Calls `load` with the name of each child element of a section (a file to
// load), in document order, until the demo is asked to end.
void LoadEachNamedFile(XMLTagExtended* section, void (*load)(const std::string& name));
