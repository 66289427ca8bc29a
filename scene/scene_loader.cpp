#include "scene/scene_loader.h"

#include <memory>

#include "core/file_read.h"
#include "core/log.h"
#include "core/stop_signals.h"
#include "scene/behaviour_loader.h"
#include "scene/material_loader.h"
#include "scene/mesh_loader.h"
#include "scene/xml_reader.h"
#include "scene/xml_values.h"
#include "world/world.h"

namespace {

struct Section {
    const char* path;
    const char* missing;  // logged after the file name when the section is absent
    void (*load)(XMLTagExtended*);
};

constexpr Section kSections[] = {
    {"base::scene::meshes", ": no meshes found", LoadMeshes},
    {"base::scene::materials", ": no materials found", LoadMaterials},
    {"base::scene::objects", ": no objects found", LoadObjects},
    {"base::scene::lights", ": no lights found", LoadLights},
    {"base::scene::actors", ": no actors found", LoadActors},
    {"base::scene::automations", ": no automations found", LoadAutomations},
    {"base::scene::eventtrigger", ": no event trigger found", LoadEventTriggers},
};

void LoadSections(const XMLReader& reader, const std::string& fileName)
{
    for (const Section& section : kSections) {
        if (StopRequested()) {
            break;  // the demo is ending: stop at this section boundary
        }
        if (XMLTagExtended* element = AsExtended(reader.FindTag(section.path))) {
            section.load(element);
        } else {
            Log(fileName, section.missing);
        }
    }
}

}  // namespace

int LoadScene(const std::string& fileName)
{
    XMLReader reader;
    if (reader.Load(fileName) != 0) {
        // As the file manager says it of a resource; a size or memory
        // failure has had its own line. A special file is refused unopened:
        // reading it could block for ever.
        const std::string& why = reader.LastError();
        if (why != kNoMemoryForFile && why != TooLargeReason(XMLReader::kMaxFileBytes)) {
            Log("Cannot open file: ", fileName);
            if (why != kNoSuchFile) {
                Problem(fileName, ": ", why);
            }
        }
        return -1;
    }
    LoadSections(reader, fileName);
    return 0;
}

void LoadSceneText(const char* bytes, size_t size, const std::string& label)
{
    XMLReader reader;
    reader.Parse(bytes, size);
    LoadSections(reader, label);
}

void LoadObjects(XMLTagExtended* section)
{
    for (XMLTag* child : section->children) {
        if (StopRequested()) {
            return;  // the demo is ending: stop before the next object
        }
        XMLTagExtended* element = AsExtended(child);
        if (!element) {
            continue;
        }
        auto entity = std::make_unique<entity_base>(element->name);
        std::string meshName;
        std::string materialName;
        for (XMLTag* part : element->children) {
            if (part->name == "Position") {
                entity->Position = ReadVec3(part);
            } else if (part->name == "Rotation") {
                entity->Rotation = ReadVec3(part);
            } else if (part->name == "Scale") {
                entity->Scale = ReadVec3(part);
            } else if (part->name == "Mesh") {
                meshName = FirstValue(part);
            } else if (part->name == "Material") {
                materialName = FirstValue(part);
            }
        }
        if (BindObject(entity.get(), meshName, materialName) == 0) {
            entity.release();  // listed by the registry for the rest of the run
        }
    }
}

int BindObject(entity_base* entity, const std::string& meshName, const std::string& materialName)
{
    Mesh* mesh = FindMesh(meshName);
    Material* material = FindMaterial(materialName);
    if (!mesh) {
        Log("Can't get meshinstance(", meshName, ") for object(", entity->name, ")");
    }
    if (!material) {
        Log("Can't get materialinstance(", materialName, ") for object(", entity->name, ")");
    }
    if (!mesh || !material) {
        return -1;
    }
    entity->meshInstance = mesh;
    entity->materialInstance = material;
    return AddObject(entity);
}

void LoadLights(XMLTagExtended* section)
{
    for (XMLTag* child : section->children) {
        if (StopRequested()) {
            return;
        }
        XMLTagExtended* element = AsExtended(child);
        if (!element) {
            continue;
        }
        auto* light = new Light(element->name);  // listed by the registry for the rest of the run
        bool colourSet = false;
        bool cutoffSet = false;
        for (XMLTag* part : element->children) {
            if (part->name == "Color") {
                light->Color = ReadVec3(part);
                colourSet = true;
            } else if (part->name == "Cutoff") {
                light->Cutoff = ReadVec3(part);
                cutoffSet = true;
            } else if (part->name == "Position") {
                light->Position = ReadVec3(part);
                Log("Light: ", light->name, " Position: ", light->Position);
            }
        }
        if (!colourSet) {
            light->Color.Set(0.5f, 0.5f, 0.5f);
        }
        if (!cutoffSet) {
            light->Cutoff.x = 2.0f;
        }
        if (!LightReaches(light->Cutoff.x)) {
            Problem("Light: ", light->name, " Cutoff ", light->Cutoff.x,
                " is not a positive number: the light lights nothing");
        }
        AddLight(light);
    }
}
