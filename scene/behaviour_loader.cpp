#include "scene/behaviour_loader.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/log.h"
#include "core/stop_signals.h"
#include "scene/scene_numbers.h"
#include "scene/xml_reader.h"
#include "scene/xml_values.h"
#include "world/actor_factory.h"
#include "world/world.h"

namespace {

std::string ClassNameOf(const XMLTag* element)
{
    if (element->attributes.empty() || element->attributes.front().first != "classname") {
        return {};
    }
    return element->attributes.front().second;
}

// Hands the named object, else the named light, to the actor.
void GiveEntity(Actor& actor, const std::string& entityName)
{
    if (entity_base* object = FindObject(entityName)) {
        actor.AddEntity(object);
    } else if (Light* light = FindLight(entityName)) {
        Log("Adding Light: ", light->name, " to Actor: ", actor.name);
        actor.AddEntity(light);
    }
}

void SetParameter(entity_base& target, const XMLTag* element)
{
    const Vec3 value = ReadVec3(element);
    if (Param* param = target.GetParam(element->name)) {
        *param->value = value;
    }
}

// An object shadows an actor or light of the same name, an actor a light;
// each miss is logged.
entity_base* FindAutomationTarget(const std::string& entityName)
{
    if (entity_base* object = FindObject(entityName)) {
        return object;
    }
    LogLine("entity was not found in object list");
    if (Actor* actor = FindActor(entityName)) {
        return actor;
    }
    LogLine("entity was not found in actor list");
    if (Light* light = FindLight(entityName)) {
        return light;
    }
    LogLine("entity was not found in light list");
    return nullptr;
}

// The key made of a key element; none (logged) when its time is not a
// finite number or a value one the show cannot draw.
std::optional<AutomationKey> ReadKey(const XMLTag& keyElement, const std::string& automationName, size_t number)
{
    // Values a key does not give are 0.
    float values[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    ReadFloatList(&keyElement, values, 4);
    // Keys are kept sorted by time: a time that is not a number would
    // leave the later ones out of order.
    if (!std::isfinite(values[0])) {
        Problem("automation ", automationName, ": key ", number, " time ", FirstValue(&keyElement),
            " is not a finite number; key skipped");
        return std::nullopt;
    }
    for (int i = 1; i < 4; ++i) {
        if (!DrawableSceneNumber(values[i])) {
            Problem("automation ", automationName, ": key ", number, " value ", values[i],
                " is not a finite number within +-", kLargestSceneNumber, "; key skipped");
            return std::nullopt;
        }
    }
    AutomationKey key;
    key.time = values[0];
    key.values[0] = values[1];
    key.values[1] = values[2];
    key.values[2] = values[3];
    key.count = 3;
    return key;
}

// The keys are gathered and added at once, so that keys in any order cost n
// log n, not n squared; a demo asked to end stops between two keys.
void LoadKeys(Automation& automation, const XMLTagExtended& element)
{
    std::vector<AutomationKey> keys;
    keys.reserve(element.children.size());
    size_t number = 0;  // of the key element, counted from 1
    for (const XMLTag* keyElement : element.children) {
        if (StopRequested()) {
            return;
        }
        if (std::optional<AutomationKey> key = ReadKey(*keyElement, element.name, ++number)) {
            keys.push_back(*key);
        }
    }
    automation.AddKeys(std::move(keys));
}

void LoadAutomation(const XMLTagExtended& element)
{
    Log("automation ", element.name);
    const size_t separator = element.name.find("::");
    if (separator == std::string::npos) {
        LogLine("parsing error");
        return;
    }
    const std::string entityName = element.name.substr(0, separator);
    const std::string paramName = element.name.substr(separator + 2);
    Log("automated param: ", paramName, " of entity ", entityName);
    entity_base* target = FindAutomationTarget(entityName);
    if (!target) {
        return;
    }
    Param* param = target->GetParam(paramName);
    if (!param) {
        Log("param ", paramName, " not found");
        return;
    }
    AddAutomation(target, param->name);
    Automation* automation = FindAutomation(target, param->name);
    if (!automation) {
        Log("could not create path for entity ", target->name);
        return;
    }
    LoadKeys(*automation, element);
}

}  // namespace

void LoadActors(XMLTagExtended* section)
{
    LogLine("loading actors");
    for (XMLTag* child : section->children) {
        if (StopRequested()) {
            return;  // the demo is ending: stop before the next actor
        }
        XMLTagExtended* element = AsExtended(child);
        if (!element) {
            continue;
        }
        const std::string className = ClassNameOf(element);
        if (className.empty()) {
            continue;
        }
        Actor* actor = CreateActor(className, element->name);
        if (!actor) {
            continue;
        }
        for (XMLTag* part : element->children) {
            if (part->name == "child") {
                GiveEntity(*actor, FirstValue(part));
            } else {
                SetParameter(*actor, part);
            }
        }
        AddActor(actor);
    }
}

void LoadAutomations(XMLTagExtended* section)
{
    LogLine("loading automations");
    for (XMLTag* child : section->children) {
        if (StopRequested()) {
            return;
        }
        if (XMLTagExtended* element = AsExtended(child)) {
            LoadAutomation(*element);
        }
    }
}

void LoadEventTriggers(XMLTagExtended* section)
{
    LogLine("loading event trigger");
    for (XMLTag* element : section->children) {
        if (StopRequested()) {
            return;
        }
        float time = 0.0f;  // when the element gives none
        std::string timeText;
        Triggerable* target = nullptr;
        for (const auto& [name, value] : element->attributes) {
            if (name == "eventTime") {
                time = static_cast<float>(std::strtod(value.c_str(), nullptr));
                timeText = value;
            } else if (name == "target") {
                target = FindActor(value);
            }
        }
        // Triggers are kept sorted by time: one that is not a number would
        // leave the later ones out of order and fire late.
        if (!std::isfinite(time)) {
            Problem("event trigger ", element->name, ": time ", timeText, " is not a finite number; trigger skipped");
            continue;
        }
        AddEventTrigger(element->name, time, target);
    }
}
