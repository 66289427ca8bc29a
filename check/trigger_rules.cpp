// The eventtrigger section: each trigger's event, time and target.
#include <algorithm>
#include <cmath>

#include "check/behaviour_rules.h"
#include "check/name_suggestion.h"
#include "check/value_rules.h"
#include "world/actor_catalogue.h"

namespace {

struct Trigger {
    const MarkedElement* element = nullptr;
    float time = 0.0f;
    std::string target;
};

std::vector<std::string> ActorNames(const SceneContext& context)
{
    std::vector<std::string> names;
    for (const auto& [name, actor] : context.actors) {
        names.push_back(name);
    }
    return names;
}

// The eventTime and target attributes as the player reads them: the later
// of two wins, others are not read.
void ReadAttributes(const MarkedElement& element, SceneContext& context, const MarkedAttribute** time,
                    const MarkedAttribute** target)
{
    for (const MarkedAttribute& attribute : element.attributes) {
        const MarkedAttribute** slot = attribute.name == "eventTime" ? time : attribute.name == "target" ? target : nullptr;
        if (!slot) {
            context.Warning(attribute.where, "attribute '" + attribute.name + "' of a trigger is not read" +
                                                 DidYouMean(attribute.name, {"eventTime", "target"}));
            continue;
        }
        if (*slot) {
            context.Warning(attribute.where, "'" + attribute.name + "' is given twice: this later one wins over " +
                                                 PlaceText((*slot)->where));
        }
        *slot = &attribute;
    }
}

void CheckTime(const MarkedElement& element, const MarkedAttribute* time, Trigger& trigger, SceneContext& context)
{
    if (!time) {
        context.Error(element.where, "trigger '" + element.name + "' has no eventTime: it never fires");
        trigger.time = NAN;
        return;
    }
    trigger.time = CheckedNumber(*time, context, NumberRule::kFinite);
    if (!std::isfinite(trigger.time)) {
        return;
    }
    if (trigger.time <= 0.0f) {
        context.Error(time->where, "a trigger at " + SecondsText(trigger.time) + " s never fires (times must be above 0)");
    } else if (context.musicSeconds && trigger.time > *context.musicSeconds) {
        context.Error(time->where, "'" + element.name + "' at " + SecondsText(trigger.time) +
                                       " s comes after the end of the music (" + SecondsText(*context.musicSeconds) +
                                       " s)");
    }
}

void CheckTarget(const MarkedElement& element, const MarkedAttribute* target, SceneContext& context)
{
    if (!target) {
        return;
    }
    const auto actor = context.actors.find(target->value);
    if (actor == context.actors.end()) {
        const std::string unmade = context.UnmadeNote(target->value);
        context.Error(target->where, "target '" + target->value + "' is not an actor: '" + element.name +
                                         "' goes to every actor that takes it" +
                                         (unmade.empty() ? DidYouMean(target->value, ActorNames(context)) : unmade));
        return;
    }
    const ActorClass* actorClass = FindActorClass(actor->second.className);
    const auto& events = actorClass->reactsTo;
    const std::vector<std::string>& known = EventNames();
    if (element.name != "exit" && std::find(known.begin(), known.end(), element.name) != known.end() &&
        std::find(events.begin(), events.end(), element.name) == events.end()) {
        context.Warning(target->where, "'" + target->value + "' (" + actorClass->name + ") does not react to '" +
                                           element.name + "': the trigger does nothing");
    }
}

// A trigger for all that no actor of the scene reacts to.
void CheckAnyReacts(const MarkedElement& element, SceneContext& context)
{
    const std::vector<std::string>& known = EventNames();
    if (element.name == "exit" || std::find(known.begin(), known.end(), element.name) == known.end()) {
        return;
    }
    for (const auto& [name, actor] : context.actors) {
        const auto& events = FindActorClass(actor.className)->reactsTo;
        if (std::find(events.begin(), events.end(), element.name) != events.end()) {
            return;
        }
    }
    context.Warning(element.where, "no actor of the scene reacts to '" + element.name + "': the trigger does nothing");
}

// Whether an 'activate' aimed at the target can make a camera the view: it
// is a camera, or it names no actor and goes to every camera.
bool MayActivateACamera(const std::string& target, const SceneContext& context)
{
    const auto actor = context.actors.find(target);
    return actor == context.actors.end() || actor->second.className == actor_class::kCamera;
}

void CheckSameMoment(const Trigger& trigger, const std::vector<Trigger>& earlier, SceneContext& context)
{
    for (const Trigger& other : earlier) {
        if (other.element->name != trigger.element->name || other.time != trigger.time) {
            continue;
        }
        if (other.target == trigger.target) {
            context.Warning(trigger.element->where, "the same trigger as at " + PlaceText(other.element->where) +
                                                        ": '" + trigger.element->name + "' is sent twice");
            return;
        }
        // Two cameras made the view at once: only the later is seen. A
        // camera and the credits, say, both do what they are told.
        if (trigger.element->name == "activate" && MayActivateACamera(trigger.target, context) &&
            MayActivateACamera(other.target, context)) {
            context.Warning(trigger.element->where, "'activate' at the same time as the one at " +
                                                        PlaceText(other.element->where) + ": this later one wins");
            return;
        }
    }
}

void CheckAfterExit(const std::vector<Trigger>& triggers, SceneContext& context)
{
    float exitTime = INFINITY;
    for (const Trigger& trigger : triggers) {
        if (trigger.element->name == "exit" && trigger.time > 0.0f) {
            exitTime = std::min(exitTime, trigger.time);
        }
    }
    if (std::isinf(exitTime)) {
        context.Warning(context.sections[kEventTrigger]->where, "no 'exit' trigger: the show does not end by itself");
        return;
    }
    for (const Trigger& trigger : triggers) {
        if (trigger.time > exitTime) {
            context.Warning(trigger.element->where, "'" + trigger.element->name + "' at " + SecondsText(trigger.time) +
                                                        " s comes after the exit at " + SecondsText(exitTime) +
                                                        " s: it never fires");
        }
    }
}

}  // namespace

void CheckEventTriggers(SceneContext& context)
{
    if (!context.sections[kEventTrigger]) {
        return;
    }
    std::vector<Trigger> triggers;
    for (const auto& element : context.sections[kEventTrigger]->children) {
        if (SceneContext::Misread(*element)) {
            continue;
        }
        const std::vector<std::string>& events = EventNames();
        if (std::find(events.begin(), events.end(), element->name) == events.end()) {
            context.Error(element->where, "unknown event '" + element->name + "': nothing takes it" +
                                              DidYouMean(element->name, events));
        }
        const MarkedAttribute* time = nullptr;
        const MarkedAttribute* target = nullptr;
        ReadAttributes(*element, context, &time, &target);
        Trigger trigger{element, 0.0f, target ? target->value : std::string()};
        CheckTime(*element, time, trigger, context);
        if (target) {
            CheckTarget(*element, target, context);
        } else {
            CheckAnyReacts(*element, context);
        }
        CheckSameMoment(trigger, triggers, context);
        triggers.push_back(trigger);
    }
    CheckAfterExit(triggers, context);
}
