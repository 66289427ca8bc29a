// The automations section: each track's target, parameter and keys.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "check/behaviour_rules.h"
#include "check/name_suggestion.h"
#include "check/value_rules.h"
#include "core/stop_signals.h"
#include "world/actor_catalogue.h"

namespace {

struct Target {
    std::string kind;  // "object", "actor", "light"
    std::string className;
    std::vector<std::string> params;
};

// The entity the player finds for the name: an object first, then an actor,
// then a light.
std::optional<Target> FindTarget(const std::string& name, const SceneContext& context)
{
    if (context.objects.count(name)) {
        return Target{"object", "", EntityParams()};
    }
    if (auto actor = context.actors.find(name); actor != context.actors.end()) {
        return Target{"actor", " (" + actor->second.className + ")", ActorParams(*FindActorClass(actor->second.className))};
    }
    if (context.lights.count(name)) {
        return Target{"light", "", LightParams()};
    }
    return std::nullopt;
}

std::vector<std::string> AllEntityNames(const SceneContext& context)
{
    std::vector<std::string> names;
    for (const auto& [name, element] : context.objects) {
        names.push_back(name);
    }
    for (const auto& [name, actor] : context.actors) {
        names.push_back(name);
    }
    for (const auto& [name, element] : context.lights) {
        names.push_back(name);
    }
    return names;
}

// False (reported) when the player skips the automation.
bool CheckTarget(const MarkedElement& automation, SceneContext& context)
{
    const size_t cut = automation.name.find("::");
    if (cut == std::string::npos) {
        context.Error(automation.where, "automation '" + automation.name +
                                            "' has no '::' between entity and parameter: it is skipped");
        return false;
    }
    const std::string entity = automation.name.substr(0, cut);
    const std::string param = automation.name.substr(cut + 2);
    const std::optional<Target> target = FindTarget(entity, context);
    if (!target) {
        const std::string unmade = context.UnmadeNote(entity);
        context.Error(automation.where, "no object, actor or light is named '" + entity +
                                            "': the automation is skipped" +
                                            (unmade.empty() ? DidYouMean(entity, AllEntityNames(context)) : unmade));
        return false;
    }
    if (std::find(target->params.begin(), target->params.end(), param) == target->params.end()) {
        context.Error(automation.where, target->kind + " '" + entity + "'" + target->className + " has no parameter '" + param +
                                            "': the automation is skipped" + DidYouMean(param, target->params));
        return false;
    }
    return true;
}

void CheckKeys(const MarkedElement& automation, SceneContext& context)
{
    const auto& keys = automation.children;
    if (keys.size() < 2) {
        context.Warning(automation.where, keys.empty() ? "automation '" + automation.name + "' has no keys: it does nothing"
                                                       : "automation '" + automation.name +
                                                             "' has one key: the parameter only holds its value");
    }
    std::optional<float> previous;
    for (const auto& key : keys) {
        if (StopRequested()) {
            return;  // the check is ending
        }
        const auto& values = key->attributes;
        if (values.size() < 4) {
            context.Error(key->where, "key has " + std::to_string(values.size()) +
                                          " values; it needs 4 (time, x, y, z): the missing ones are 0");
        } else if (values.size() > 4) {
            context.Warning(values[4].where, "values after the fourth of a key are not read");
        }
        float numbers[4] = {};
        // The time must be finite; x, y and z drawable, or the player skips the key.
        for (size_t i = 0; i < values.size() && i < 4; ++i) {
            numbers[i] = CheckedNumber(values[i], context, i == 0 ? NumberRule::kFinite : NumberRule::kDrawable);
        }
        const float time = numbers[0];
        if (previous && std::isfinite(time) && time < *previous) {
            context.Warning(key->where, "key at " + SecondsText(time) + " s comes after one at " +
                                            SecondsText(*previous) + " s: keys are played in time order");
        } else if (previous && time == *previous) {
            context.Warning(key->where, "two keys at " + SecondsText(time) + " s: the curve between them is undefined");
        }
        previous = time;
    }
}

}  // namespace

std::string SecondsText(double seconds)
{
    std::ostringstream text;
    text << seconds;
    return text.str();
}

void CheckAutomations(SceneContext& context)
{
    if (!context.sections[kAutomations]) {
        return;
    }
    std::map<std::string, const MarkedElement*> tracks;
    for (const auto& automation : context.sections[kAutomations]->children) {
        if (StopRequested()) {
            return;
        }
        if (SceneContext::Misread(*automation)) {
            continue;
        }
        if (!CheckTarget(*automation, context)) {
            continue;
        }
        const auto [earlier, added] = tracks.emplace(automation->name, automation);
        if (!added) {
            context.Warning(automation->where, "the keys of '" + automation->name +
                                                   "' merge with those of the automation at " +
                                                   PlaceText(earlier->second->where));
        }
        CheckKeys(*automation, context);
    }
}
