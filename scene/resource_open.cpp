#include "scene/resource_open.h"

#include "core/log.h"

std::unique_ptr<ResourceFile> OpenResourceFile(std::string_view name, int type)
{
    FileManager& files = TheFileManager();
    if (std::optional<ResourceFile> cached = files.FindLoaded(name, type)) {
        return std::make_unique<ResourceFile>(*cached);
    }
    const ResourceFile opened = files.OpenFile(name, type);
    if (opened.type != kResourceNone) {
        return std::make_unique<ResourceFile>(opened);
    }
    LogLine("openfileerror");
    return nullptr;
}
