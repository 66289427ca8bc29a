#pragma once
// What the scene rules share while they check one scene text: where the
// findings go, the sections the player reads, and the names each section
// defines, with the element that defines each.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "check/diagnostics.h"
#include "check/marked_markup.h"
#include "core/math.h"

// The sections in the order the player loads them.
enum SectionId { kMeshes, kMaterials, kObjects, kLights, kActors, kAutomations, kEventTrigger, kSectionCount };
inline constexpr std::array<const char*, kSectionCount> kSectionNames = {
    "meshes", "materials", "objects", "lights", "actors", "automations", "eventtrigger"};

// What the checker learns from a graphics context, where one can be made.
struct GraphicsFacts {
    uint32_t maxTextureSide = 0;  // 0: not known (no context)
};

struct ActorEntry {
    const MarkedElement* element = nullptr;
    std::string className;  // empty when the player makes no actor of it
};

// Where a mesh's vertices lie, around its own origin.
struct MeshExtent {
    Vec3 lowest;
    Vec3 highest;
    float radius = 0.0f;  // of the sphere round the origin that holds every vertex
};

struct SceneContext {
    SceneContext(std::string fileName, Diagnostics& findings, std::optional<double> musicLength)
        : file(std::move(fileName)), found(findings), musicSeconds(musicLength)
    {
    }

    std::string file;
    Diagnostics& found;
    std::optional<double> musicSeconds;  // the length of the music, when known
    GraphicsFacts graphics;              // what textures may be, when known

    std::array<const MarkedElement*, kSectionCount> sections{};  // the ones the player reads
    // Each name's first definition: the one the player's lookups find.
    std::map<std::string, const MarkedElement*> meshes;
    std::map<std::string, const MarkedElement*> materials;
    std::map<std::string, const MarkedElement*> objects;
    std::map<std::string, const MarkedElement*> lights;
    std::map<std::string, ActorEntry> actors;
    // Entities the player does not make or register (an actor without a
    // known class, an object without its mesh or material), and their kind.
    std::map<std::string, std::pair<const MarkedElement*, std::string>> unmade;
    // The extent of each mesh whose file holds sound vertices.
    std::map<std::string, MeshExtent> meshExtents;

    // " (the actor at L:C is not made)" for the name of an unmade entity, else empty.
    std::string UnmadeNote(const std::string& name) const
    {
        const auto found = unmade.find(name);
        return found == unmade.end() ? std::string()
                                     : " (the " + found->second.second + " at " + PlaceText(found->second.first->where) +
                                           " is not made)";
    }

    // Misplaced sections (reported once, where they stand).
    std::array<bool, kSectionCount> misplaced{};

    // An element of a section that the entity rules pass over: made of a
    // comment, or a section swallowed by this one (both reported already).
    static bool Misread(const MarkedElement& element)
    {
        for (const char* section : kSectionNames) {
            if (element.name == section) {
                return true;
            }
        }
        return element.fromComment;
    }

    void Error(TextPosition where, std::string message) { found.Error(file, where, std::move(message)); }
    void Warning(TextPosition where, std::string message) { found.Warning(file, where, std::move(message)); }
};
