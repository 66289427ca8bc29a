#include "check/entity_rules.h"

#include <cstdlib>

#include "check/name_suggestion.h"
#include "check/value_rules.h"
#include "render/render_records.h"
#include "world/actor_catalogue.h"

namespace {

std::vector<std::string> Names(const std::map<std::string, const MarkedElement*>& defined)
{
    std::vector<std::string> names;
    for (const auto& [name, element] : defined) {
        names.push_back(name);
    }
    return names;
}

void CheckEntries(SectionId id, const char* kind, std::map<std::string, const MarkedElement*>& defined,
                  SceneContext& context)
{
    const MarkedElement* section = context.sections[id];
    if (!section) {
        return;
    }
    for (const auto& entry : section->children) {
        if (SceneContext::Misread(*entry)) {
            continue;
        }
        if (!entry->attributes.empty()) {
            context.Warning(entry->attributes.front().where,
                            std::string("the attributes of a ") + kind + " entry are not read: its name is the file's");
        }
        if (!entry->children.empty()) {
            context.Warning(entry->children.front()->where, std::string("what a ") + kind + " entry holds is not read");
        }
        const auto [earlier, added] = defined.emplace(entry->name, entry);
        if (!added) {
            context.Warning(entry->where, std::string(kind) + " '" + entry->name + "' is loaded twice (also at " +
                                              PlaceText(earlier->second->where) + ")");
        }
    }
}

// Whether the Mesh or Material child names one defined.
bool CheckReference(const MarkedElement& object, const char* childName, const char* section,
                           const std::map<std::string, const MarkedElement*>& defined, SceneContext& context)
{
    const MarkedElement* child = object.Child(childName);
    if (!child) {
        context.Error(object.where, "object '" + object.name + "' has no " + childName + ": it is not drawn");
        return false;
    }
    if (child->attributes.empty()) {
        context.Error(child->where, std::string(childName) + " of '" + object.name + "' names nothing: it is not drawn");
        return false;
    }
    const MarkedAttribute& named = child->attributes.front();
    if (!defined.count(named.value)) {
        context.Error(named.where, std::string(childName) + " '" + named.value + "' is not in the " + std::string(section) +
                                       " section: object '" + object.name + "' is not drawn" +
                                       DidYouMean(named.value, Names(defined)));
        return false;
    }
    return true;
}

// Whether the player registers the object (it has its mesh and material).
bool CheckObject(const MarkedElement& object, SceneContext& context)
{
    static const std::vector<std::string> kKnown = {"Position", "Rotation", "Scale", "Mesh", "Material"};
    for (const auto& part : object.children) {
        if (part->name == "Mesh" || part->name == "Material") {
            continue;
        }
        if (part->name == "Position" || part->name == "Rotation" || part->name == "Scale") {
            CheckVectorElement(*part, context);
        } else {
            context.Error(part->where, "objects have no '" + part->name + "': it is ignored" +
                                           DidYouMean(part->name, kKnown));
        }
    }
    const bool mesh = CheckReference(object, "Mesh", "meshes", context.meshes, context);
    const bool material = CheckReference(object, "Material", "materials", context.materials, context);
    if (!object.Child("Scale")) {
        context.Warning(object.where, "object '" + object.name + "' has no Scale: it is drawn at scale 0 (invisible)");
    }
    return mesh && material;
}

// A light whose cutoff is not a positive number lights nothing.
void CheckReach(const MarkedElement& light, const MarkedElement& cutoff, SceneContext& context)
{
    const MarkedAttribute* x = cutoff.Attribute("x");
    const float reach = x ? static_cast<float>(std::strtod(x->value.c_str(), nullptr)) : 0.0f;
    if (!LightReaches(reach)) {
        context.Error(x ? x->where : cutoff.where, "the Cutoff of light '" + light.name + "' is " +
                                                       (x ? "'" + x->value + "'" : std::string("0 (no x)")) +
                                                       ", not a positive number: the light lights nothing");
    }
}

}  // namespace

void CheckNameUnique(const MarkedElement& element, const char* kind, SceneContext& context)
{
    const MarkedElement* earlier = nullptr;
    if (auto found = context.objects.find(element.name); found != context.objects.end()) {
        earlier = found->second;
    } else if (auto light = context.lights.find(element.name); light != context.lights.end()) {
        earlier = light->second;
    } else if (auto actor = context.actors.find(element.name); actor != context.actors.end()) {
        earlier = actor->second.element;
    }
    if (earlier) {
        context.Warning(element.where, std::string(kind) + " '" + element.name + "' has the name of the one at " +
                                           PlaceText(earlier->where) + ": lookups by name find that one");
    }
}

void CheckFileEntries(SceneContext& context)
{
    CheckEntries(kMeshes, "mesh", context.meshes, context);
    CheckEntries(kMaterials, "material", context.materials, context);
}

void CheckObjects(SceneContext& context)
{
    if (!context.sections[kObjects]) {
        return;
    }
    for (const auto& object : context.sections[kObjects]->children) {
        if (SceneContext::Misread(*object)) {
            continue;
        }
        const bool registered = CheckObject(*object, context);
        CheckNameUnique(*object, "object", context);
        if (registered) {
            context.objects.emplace(object->name, object);
        } else {
            context.unmade.emplace(object->name, std::pair{object, "object"});
        }
    }
}

void CheckLights(SceneContext& context)
{
    if (!context.sections[kLights]) {
        return;
    }
    static const std::vector<std::string> kKnown = {"Color", "Position", "Cutoff"};
    for (const auto& light : context.sections[kLights]->children) {
        if (SceneContext::Misread(*light)) {
            continue;
        }
        const MarkedElement* cutoff = nullptr;  // the last one wins
        for (const auto& part : light->children) {
            if (part->name == "Color" || part->name == "Position" || part->name == "Cutoff") {
                CheckVectorElement(*part, context);
                cutoff = part->name == "Cutoff" ? part : cutoff;
            } else {
                context.Error(part->where, "lights have no '" + part->name + "': it is ignored" +
                                               DidYouMean(part->name, kKnown));
            }
        }
        if (cutoff) {
            CheckReach(*light, *cutoff, context);
        }
        CheckNameUnique(*light, "light", context);
        context.lights.emplace(light->name, light);
    }
}
