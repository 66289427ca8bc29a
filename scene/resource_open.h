#pragma once

#include <memory>
#include <string_view>

#include "core/file_manager.h"

// A copy of the cached file of that name and type, else of the file freshly
// opened through the file manager; null (logged "openfileerror") when neither.
std::unique_ptr<ResourceFile> OpenResourceFile(std::string_view name, int type);
