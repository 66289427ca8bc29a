#include "scene/resource_open.h"

#include "core/log.h"
#include "core/stop_signals.h"
#include "scene/xml_reader.h"

std::unique_ptr<ResourceFile> OpenResourceFile(std::string_view name, int type, const ReadAdmission& admission,
                                               std::string* refused)
{
    FileManager& files = TheFileManager();
    if (std::optional<ResourceFile> cached = files.FindLoaded(name, type)) {
        return std::make_unique<ResourceFile>(*cached);
    }
    const ResourceFile opened = files.OpenFile(name, type, admission, refused);
    if (opened.type != kResourceNone) {
        return std::make_unique<ResourceFile>(opened);
    }
    if (!refused || refused->empty()) {
        LogLine("openfileerror");
    }
    return nullptr;
}

void LoadEachNamedFile(XMLTagExtended* section, void (*load)(const std::string& name))
{
    if (!section) {
        return;
    }
    for (XMLTag* child : section->children) {
        if (StopRequested()) {
            return;  // the demo is ending: stop before the next file
        }
        load(child->name);
    }
}
