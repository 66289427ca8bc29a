// The actors section: each actor's class, its parameters and its children.
#include <algorithm>

#include "check/entity_rules.h"
#include "check/name_suggestion.h"
#include "check/value_rules.h"
#include "world/actor_catalogue.h"

namespace {

std::string WithArticle(const std::string& name)
{
    return (std::string("AEIOU").find(name.front()) == std::string::npos ? "a " : "an ") + name;
}

// The class the player makes the actor of, or null (reported).
const ActorClass* CheckClassName(const MarkedElement& actor, SceneContext& context)
{
    const std::vector<MarkedAttribute>& attributes = actor.attributes;
    if (attributes.empty() || attributes.front().name != "classname") {
        for (const MarkedAttribute& attribute : attributes) {
            if (attribute.name == "classname") {
                context.Error(attribute.where, "classname must be the first attribute of '" + actor.name +
                                                   "': no actor is made");
                return nullptr;
            }
        }
        const std::string hint = attributes.empty() ? std::string() : DidYouMean(attributes.front().name, {"classname"});
        context.Error(actor.where, "actor '" + actor.name + "' has no classname: no actor is made" + hint);
        return nullptr;
    }
    const MarkedAttribute& className = attributes.front();
    const ActorClass* actorClass = FindActorClass(className.value);
    if (!actorClass) {
        context.Error(className.where, "unknown class '" + className.value + "': no actor is made" +
                                           DidYouMean(className.value, ActorClassNames()));
    }
    return actorClass;
}

std::vector<std::string> EntityNames(const SceneContext& context)
{
    std::vector<std::string> names;
    for (const auto& [name, element] : context.objects) {
        names.push_back(name);
    }
    for (const auto& [name, element] : context.lights) {
        names.push_back(name);
    }
    return names;
}

void CheckChild(const MarkedElement& child, const MarkedElement& actor, const ActorClass& actorClass,
                SceneContext& context)
{
    if (child.attributes.empty()) {
        context.Error(child.where, "child of '" + actor.name + "' names nothing: it is ignored");
        return;
    }
    const MarkedAttribute& named = child.attributes.front();
    const bool object = context.objects.count(named.value) > 0;
    const bool light = !object && context.lights.count(named.value) > 0;
    if (!object && !light) {
        const std::string unmade = context.UnmadeNote(named.value);
        context.Error(named.where, "'" + named.value + "' is neither an object nor a light: the child is ignored" +
                                       (unmade.empty() ? DidYouMean(named.value, EntityNames(context)) : unmade));
    } else if (actorClass.accepts == AcceptsEntities::kNone) {
        context.Warning(named.where, WithArticle(actorClass.name) + " keeps no entities: child '" + named.value +
                                         "' has no effect");
    } else if (object && actorClass.accepts == AcceptsEntities::kLightsOnly) {
        context.Error(named.where, WithArticle(actorClass.name) + " takes only lights: object '" + named.value +
                                       "' is refused");
    } else if (light && actorClass.accepts == AcceptsEntities::kObjectsOnly) {
        context.Error(named.where, WithArticle(actorClass.name) + " takes only objects with a mesh: light '" +
                                       named.value + "' is refused");
    }
}

void CheckActor(const MarkedElement& actor, SceneContext& context)
{
    const ActorClass* actorClass = CheckClassName(actor, context);
    if (!actorClass) {
        context.unmade.emplace(actor.name, std::pair{&actor, "actor"});
        return;
    }
    const std::vector<std::string> params = ActorParams(*actorClass);
    for (const auto& part : actor.children) {
        if (part->name == "child") {
            CheckChild(*part, actor, *actorClass, context);
        } else if (std::find(params.begin(), params.end(), part->name) != params.end()) {
            CheckVectorElement(*part, context);
        } else {
            context.Error(part->where, "actor '" + actor.name + "' (" + actorClass->name + ") has no parameter '" +
                                           part->name + "': it is ignored" +
                                           DidYouMean(part->name, [&params] {
                                               std::vector<std::string> names = params;
                                               names.push_back("child");
                                               return names;
                                           }()));
        }
    }
    CheckNameUnique(actor, "actor", context);
    context.actors.emplace(actor.name, ActorEntry{&actor, actorClass->name});
}

}  // namespace

void CheckActors(SceneContext& context)
{
    if (!context.sections[kActors]) {
        return;
    }
    for (const auto& actor : context.sections[kActors]->children) {
        if (SceneContext::Misread(*actor)) {
            continue;
        }
        CheckActor(*actor, context);
    }
}
