#include "world/world.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "render/render_interface.h"

namespace {

// Trigger order: by time; a time that is not a number goes last, after every
// time that is, so that it is never due.
bool FiresEarlier(const EventTrigger& a, const EventTrigger& b)
{
    return a.time < b.time || (std::isnan(b.time) && !std::isnan(a.time));
}

std::unique_ptr<RenderInstance> MakeRenderInstance(entity_base& entity)
{
    auto instance = std::make_unique<RenderInstance>();
    instance->mesh = entity.meshInstance;
    instance->position = entity.positionRef;
    instance->scale = entity.scaleRef;
    instance->rotation = entity.rotationRef;
    instance->vertexDataChanged = entity.meshDirtyRef;
    if (entity.materialInstance) {
        instance->materialName = entity.materialInstance->name;
    }
    return instance;
}

}  // namespace

World::~World()
{
    // The renderer may outlive a registry (tests make their own): take back
    // every record the registry handed to it.
    RenderInterface* renderer = GetRenderer();
    if (!renderer) {
        return;
    }
    for (auto& [entity, instance] : objects_) {
        renderer->RemoveRenderInstance(instance.get());
    }
    for (auto& [light, record] : lights_) {
        renderer->ReleaseLight(record.get());
    }
}

int World::AddMesh(Mesh* mesh)
{
    RenderInterface* renderer = GetRenderer();
    if (!mesh || !renderer || renderer->CreateMesh(mesh) != 0) {
        return -1;
    }
    AppendMesh(mesh);
    return 0;
}

void World::AppendMesh(Mesh* mesh)
{
    std::lock_guard<std::mutex> lock(mutex_);
    meshes_.push_back(mesh);
    meshNames_.Add(mesh);
}

Mesh* World::FindMesh(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return meshNames_.Find(name);
}

void World::AppendMaterial(Material* material)
{
    std::lock_guard<std::mutex> lock(mutex_);
    materials_.push_back(material);
    materialNames_.Add(material);
}

Material* World::FindMaterial(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return materialNames_.Find(name);
}

int World::AddObject(entity_base* entity)
{
    if (!entity) {
        return -1;
    }
    RenderInstance* instance = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto [slot, added] = objects_.try_emplace(entity, nullptr);
        if (!added) {
            return -1;
        }
        slot->second = MakeRenderInstance(*entity);
        instance = slot->second.get();
        objectNames_.Add(entity);
    }
    if (RenderInterface* renderer = GetRenderer()) {
        renderer->AddRenderInstance(instance);
    }
    return 0;
}

int World::RemoveObject(entity_base* entity)
{
    std::unique_ptr<RenderInstance> instance;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = objects_.find(entity);
        if (found == objects_.end()) {
            return -1;
        }
        instance = std::move(found->second);
        objects_.erase(found);
        objectNames_.Remove(entity);
    }
    if (RenderInterface* renderer = GetRenderer()) {
        renderer->RemoveRenderInstance(instance.get());
    }
    return 0;
}

entity_base* World::FindObject(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return objectNames_.Find(name);
}

const RenderInstance* World::FindRenderInstance(const entity_base* entity)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = objects_.find(const_cast<entity_base*>(entity));
    return found == objects_.end() ? nullptr : found->second.get();
}

int World::AddLight(Light* light)
{
    if (!light) {
        return -1;
    }
    RenderLight* record = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto [slot, added] = lights_.try_emplace(light, nullptr);
        if (!added) {
            return -1;
        }
        slot->second = std::make_unique<RenderLight>();
        record = slot->second.get();
        record->id = nextLightId_++;
        record->position = light->positionRef;
        record->colour = light->colourRef;
        record->cutoff = light->cutoffRef;
        lightNames_.Add(light);
    }
    if (RenderInterface* renderer = GetRenderer()) {
        renderer->AddLight(record);
    }
    return 0;
}

Light* World::FindLight(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lightNames_.Find(name);
}

const RenderLight* World::FindRenderLight(const Light* light)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = lights_.find(const_cast<Light*>(light));
    return found == lights_.end() ? nullptr : found->second.get();
}

int World::AddActor(Actor* actor)
{
    if (!actor) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    actors_.push_back(actor);
    actorNames_.Add(actor);
    PublishSubscriptionsLocked(actor);
    return 0;
}

Actor* World::FindActor(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return actorNames_.Find(name);
}

std::vector<Actor*> World::Actors()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return actors_;
}

void World::UpdateActors(float dtMs)
{
    // Reused between frames so that the per-frame copy does not allocate.
    static thread_local std::vector<Actor*> snapshot;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        snapshot.assign(actors_.begin(), actors_.end());
    }
    for (Actor* actor : snapshot) {
        actor->Update(dtMs);
    }
}

int World::AddAutomation(entity_base* target, const std::string& paramName)
{
    if (!target) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (automationIndex_.contains({target, paramName})) {
        return -1;
    }
    Param* param = target->GetParam(paramName);
    if (!param) {
        return -1;
    }
    ownedAutomations_.push_back(std::make_unique<Automation>());
    automations_.push_back(AutomationEntry{ownedAutomations_.back().get(), target, param});
    // Found by the parameter's own name, which is what lookups compare.
    automationIndex_.try_emplace({target, param->name}, automations_.size() - 1);
    return 0;
}

Automation* World::FindAutomation(const entity_base* target, const std::string& paramName)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = automationIndex_.find({target, paramName});
    return found == automationIndex_.end() ? nullptr : automations_[found->second].automation;
}

std::vector<AutomationEntry> World::Automations()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return automations_;
}

void World::EvaluateAutomations(float time)
{
    static thread_local std::vector<AutomationEntry> snapshot;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        snapshot.assign(automations_.begin(), automations_.end());
    }
    for (const AutomationEntry& entry : snapshot) {
        AutomationKey value;
        if (entry.param->type != kParamVec3 || !entry.automation->Advance(time, &value)) {
            continue;
        }
        if (std::isfinite(value.values[0]) && std::isfinite(value.values[1]) &&
            std::isfinite(value.values[2])) {
            entry.param->value->Set(value.values[0], value.values[1], value.values[2]);
        }
    }
}

void World::ClearAutomations()
{
    std::lock_guard<std::mutex> lock(mutex_);
    automations_.clear();
    ownedAutomations_.clear();
    automationIndex_.clear();
}

void World::ClearEventTriggers()
{
    std::lock_guard<std::mutex> lock(mutex_);
    eventTriggers_.clear();
    sortedTriggers_ = 0;
}

int World::AddEventTrigger(const std::string& name, float time, Triggerable* target)
{
    std::lock_guard<std::mutex> lock(mutex_);
    eventTriggers_.push_back(EventTrigger{name, time, target});
    return 0;
}

void World::SortEventTriggersLocked()
{
    if (sortedTriggers_ == eventTriggers_.size()) {
        return;
    }
    // Both steps keep equal times in the order added: the new ones after
    // those already sorted, and among themselves as added.
    const auto added = eventTriggers_.begin() + static_cast<std::ptrdiff_t>(sortedTriggers_);
    std::stable_sort(added, eventTriggers_.end(), FiresEarlier);
    std::inplace_merge(eventTriggers_.begin(), added, eventTriggers_.end(), FiresEarlier);
    sortedTriggers_ = eventTriggers_.size();
}

std::vector<EventTrigger> World::EventTriggers()
{
    std::lock_guard<std::mutex> lock(mutex_);
    SortEventTriggersLocked();
    return eventTriggers_;
}

void World::DueEventTriggers(float after, float upTo, std::vector<EventTrigger>& due)
{
    due.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    SortEventTriggersLocked();
    for (const EventTrigger& trigger : eventTriggers_) {
        if (!(trigger.time > after)) {
            continue;  // fired before (or a time that is not a number: never)
        }
        if (trigger.time > upTo) {
            break;  // the list is sorted: the rest lie later still
        }
        due.push_back(trigger);
    }
}

int World::Subscribe(Triggerable* subscriber, const std::string& event)
{
    if (!subscriber) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    SubscribeLocked(subscriber, event);
    return 0;
}

void World::SubscribeLocked(Triggerable* subscriber, const std::string& event)
{
    SubscriberList& list = eventSubscriptions_[event];
    if (list.members.insert(subscriber).second) {
        list.inOrder.push_back(subscriber);
    }
}

int World::SubscribeWhenPublished(Triggerable* subscriber, const std::string& event)
{
    if (!subscriber) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    pendingSubscriptions_.emplace_back(subscriber, event);
    return 0;
}

void World::PublishSubscriptions(Triggerable* subscriber)
{
    std::lock_guard<std::mutex> lock(mutex_);
    PublishSubscriptionsLocked(subscriber);
}

void World::PublishSubscriptionsLocked(Triggerable* subscriber)
{
    auto pending = pendingSubscriptions_.begin();
    while (pending != pendingSubscriptions_.end()) {
        if (pending->first == subscriber) {
            SubscribeLocked(subscriber, pending->second);
            pending = pendingSubscriptions_.erase(pending);
        } else {
            ++pending;
        }
    }
}

void World::Forget(Triggerable* subscriber)
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::erase_if(pendingSubscriptions_,
                  [&](const auto& pending) { return pending.first == subscriber; });
    for (auto& [event, list] : eventSubscriptions_) {
        if (list.members.erase(subscriber) != 0) {
            std::erase(list.inOrder, subscriber);
        }
    }
    Actor* listed = nullptr;
    std::erase_if(actors_, [&](Actor* actor) {
        listed = actor == subscriber ? actor : listed;
        return actor == subscriber;
    });
    if (listed) {
        actorNames_.Remove(listed);
    }
}

std::vector<Triggerable*> World::Subscribers(const std::string& event)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = eventSubscriptions_.find(event);
    return found == eventSubscriptions_.end() ? std::vector<Triggerable*>{} : found->second.inOrder;
}

void World::Broadcast(const std::string& event, float latenessMs)
{
    const float outer = std::exchange(eventLatenessMs_, latenessMs);
    for (Triggerable* subscriber : Subscribers(event)) {
        subscriber->Trigger(event);
    }
    eventLatenessMs_ = outer;
}

void World::SendEvent(const std::string& event, Triggerable* target, float latenessMs)
{
    const float outer = std::exchange(eventLatenessMs_, latenessMs);
    for (Triggerable* subscriber : Subscribers(event)) {
        if (subscriber == target) {
            subscriber->Trigger(event);
            break;
        }
    }
    eventLatenessMs_ = outer;
}

size_t World::MeshCount()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return meshes_.size();
}

size_t World::MaterialCount()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return materials_.size();
}

size_t World::ObjectCount()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return objects_.size();
}

size_t World::LightCount()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lights_.size();
}

World& TheWorld()
{
    // Never destroyed: the registry and what it lists live until the process
    // ends, also while other static objects are torn down.
    static World* world = new World;
    return *world;
}

int AddMesh(Mesh* mesh) { return TheWorld().AddMesh(mesh); }
void AppendMesh(Mesh* mesh) { TheWorld().AppendMesh(mesh); }
Mesh* FindMesh(const std::string& name) { return TheWorld().FindMesh(name); }
void AppendMaterial(Material* material) { TheWorld().AppendMaterial(material); }
Material* FindMaterial(const std::string& name) { return TheWorld().FindMaterial(name); }
int AddObject(entity_base* entity) { return TheWorld().AddObject(entity); }
int RemoveObject(entity_base* entity) { return TheWorld().RemoveObject(entity); }
entity_base* FindObject(const std::string& name) { return TheWorld().FindObject(name); }
int AddLight(Light* light) { return TheWorld().AddLight(light); }
Light* FindLight(const std::string& name) { return TheWorld().FindLight(name); }
int AddActor(Actor* actor) { return TheWorld().AddActor(actor); }
Actor* FindActor(const std::string& name) { return TheWorld().FindActor(name); }

int AddAutomation(entity_base* target, const std::string& paramName)
{
    return TheWorld().AddAutomation(target, paramName);
}

Automation* FindAutomation(const entity_base* target, const std::string& paramName)
{
    return TheWorld().FindAutomation(target, paramName);
}

int AddEventTrigger(const std::string& name, float time, Triggerable* target)
{
    return TheWorld().AddEventTrigger(name, time, target);
}

int Subscribe(Triggerable* subscriber, const std::string& event)
{
    return TheWorld().Subscribe(subscriber, event);
}

int SubscribeWhenPublished(Triggerable* subscriber, const std::string& event)
{
    return TheWorld().SubscribeWhenPublished(subscriber, event);
}

void PublishSubscriptions(Triggerable* subscriber)
{
    TheWorld().PublishSubscriptions(subscriber);
}

void Broadcast(const std::string& event, float latenessMs) { TheWorld().Broadcast(event, latenessMs); }
void SendEvent(const std::string& event, Triggerable* target, float latenessMs)
{
    TheWorld().SendEvent(event, target, latenessMs);
}
