#include "world/world.h"

#include <algorithm>
#include <cmath>

#include "core/process_state.h"
#include "render/render_interface.h"

namespace {

template <typename Item>
Item* FindByName(const std::vector<Item*>& items, const std::string& name)
{
    for (Item* item : items) {
        if (item->name == name) {
            return item;
        }
    }
    return nullptr;
}

template <typename Key, typename Record>
Key* FindKeyByName(const std::map<Key*, Record>& entries, const std::string& name)
{
    for (const auto& [key, record] : entries) {
        if (key->name == name) {
            return key;
        }
    }
    return nullptr;
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
}

Mesh* World::FindMesh(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return FindByName(meshes_, name);
}

void World::AppendMaterial(Material* material)
{
    std::lock_guard<std::mutex> lock(mutex_);
    materials_.push_back(material);
}

Material* World::FindMaterial(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return FindByName(materials_, name);
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
    }
    if (RenderInterface* renderer = GetRenderer()) {
        renderer->RemoveRenderInstance(instance.get());
    }
    return 0;
}

entity_base* World::FindObject(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return FindKeyByName(objects_, name);
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
    }
    if (RenderInterface* renderer = GetRenderer()) {
        renderer->AddLight(record);
    }
    return 0;
}

Light* World::FindLight(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return FindKeyByName(lights_, name);
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
    PublishSubscriptionsLocked(actor);
    return 0;
}

Actor* World::FindActor(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return FindByName(actors_, name);
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
    for (const AutomationEntry& entry : automations_) {
        if (entry.target == target && entry.param->name == paramName) {
            return -1;
        }
    }
    Param* param = target->GetParam(paramName);
    if (!param) {
        return -1;
    }
    ownedAutomations_.push_back(std::make_unique<Automation>());
    automations_.push_back(AutomationEntry{ownedAutomations_.back().get(), target, param});
    return 0;
}

Automation* World::FindAutomation(const entity_base* target, const std::string& paramName)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const AutomationEntry& entry : automations_) {
        if (entry.target == target && entry.param->name == paramName) {
            return entry.automation;
        }
    }
    return nullptr;
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

int World::AddEventTrigger(const std::string& name, float time, Triggerable* target)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto later = std::upper_bound(
        eventTriggers_.begin(), eventTriggers_.end(), time,
        [](float t, const EventTrigger& existing) { return existing.time > t; });
    eventTriggers_.insert(later, EventTrigger{name, time, target});
    return 0;
}

std::vector<EventTrigger> World::EventTriggers()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return eventTriggers_;
}

void World::DueEventTriggers(float after, float upTo, std::vector<EventTrigger>& due)
{
    due.clear();
    std::lock_guard<std::mutex> lock(mutex_);
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
    std::vector<Triggerable*>& list = eventSubscriptions_[event];
    if (std::find(list.begin(), list.end(), subscriber) == list.end()) {
        list.push_back(subscriber);
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
        std::erase(list, subscriber);
    }
    std::erase_if(actors_, [&](Actor* actor) { return actor == subscriber; });
}

std::vector<Triggerable*> World::Subscribers(const std::string& event)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = eventSubscriptions_.find(event);
    return found == eventSubscriptions_.end() ? std::vector<Triggerable*>{} : found->second;
}

void World::Broadcast(const std::string& event)
{
    for (Triggerable* subscriber : Subscribers(event)) {
        subscriber->Trigger(event);
    }
}

void World::SendEvent(const std::string& event, Triggerable* target)
{
    for (Triggerable* subscriber : Subscribers(event)) {
        if (subscriber == target) {
            subscriber->Trigger(event);
            return;
        }
    }
}

void World::Clear()
{
    std::vector<Actor*> actors;
    std::map<entity_base*, std::unique_ptr<RenderInstance>> objects;
    std::map<Light*, std::unique_ptr<RenderLight>> lights;
    std::vector<Mesh*> meshes;
    std::vector<Material*> materials;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        actors.swap(actors_);
        objects.swap(objects_);
        lights.swap(lights_);
        meshes.swap(meshes_);
        materials.swap(materials_);
        automations_.clear();
        ownedAutomations_.clear();
        eventTriggers_.clear();
        eventSubscriptions_.clear();
        pendingSubscriptions_.clear();
        nextLightId_ = 0;
    }
    // Actors first: they may still refer to objects and lights.
    for (Actor* actor : actors) {
        delete actor;
    }
    RenderInterface* renderer = GetRenderer();
    for (auto& [entity, instance] : objects) {
        if (renderer) {
            renderer->RemoveRenderInstance(instance.get());
        }
        delete entity;
    }
    for (auto& [light, record] : lights) {
        if (renderer) {
            renderer->ReleaseLight(record.get());
        }
        delete light;
    }
    for (Mesh* mesh : meshes) {
        if (renderer) {
            renderer->ReleaseMesh(mesh);
        }
        delete mesh;
    }
    for (Material* material : materials) {
        if (renderer) {
            renderer->ReleaseMaterial(material);
        }
        delete material;
    }
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
void UpdateActors() { TheWorld().UpdateActors(frameDeltaMs); }
void EvaluateAutomations() { TheWorld().EvaluateAutomations(demoTime); }

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

void Broadcast(const std::string& event) { TheWorld().Broadcast(event); }
void SendEvent(const std::string& event, Triggerable* target)
{
    TheWorld().SendEvent(event, target);
}
