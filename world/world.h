#pragma once
// The world registry: everything the scene loader creates, found by name,
// and the one place where scene objects are handed to the renderer.
//
// Sharing between threads: the loading thread fills the registry while the
// main loop walks the actor, automation and trigger lists every frame and
// delivers events. Every container sits behind one mutex, held only for the
// short time of an append, a lookup or a copy. The per-frame walks and the
// event deliveries copy what they need (pointers) under the lock and call
// actors with the lock released, so an actor may use the registry from its
// Update or Trigger, and no registry lock is ever held while the renderer's
// own locks are awaited from the main thread. An entity, actor or automation
// becomes visible to the main thread only once its add operation returns,
// by which time the loading thread has finished setting it up.
//
// Actors subscribe to their events while they are being constructed on the
// loading thread. Those subscriptions wait until the actor is published by
// AddActor (or PublishSubscriptions for an actor that is never listed, such
// as the editor camera), so an event can never reach an actor that is still
// being built or configured. Published subscriptions keep the order in which
// they were made.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "render/render_records.h"
#include "world/actor.h"
#include "world/automation.h"
#include "world/entity.h"
#include "world/name_index.h"
#include "world/show_state.h"

struct EventTrigger {
    std::string name;
    float time = 0.0f;              // demo time, seconds
    Triggerable* target = nullptr;  // null: every subscriber of the name
};

struct AutomationEntry {
    Automation* automation = nullptr;
    entity_base* target = nullptr;
    Param* param = nullptr;
};

class World {
public:
    World() = default;
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    ~World();

    // Meshes and materials: the registry lists them, their owners keep them.
    int AddMesh(Mesh* mesh);  // through the renderer's CreateMesh
    void AppendMesh(Mesh* mesh);
    Mesh* FindMesh(const std::string& name);
    void AppendMaterial(Material* material);
    Material* FindMaterial(const std::string& name);

    // Placed objects, each with the render instance made for it.
    int AddObject(entity_base* entity);
    int RemoveObject(entity_base* entity);
    entity_base* FindObject(const std::string& name);
    const RenderInstance* FindRenderInstance(const entity_base* entity);

    int AddLight(Light* light);
    Light* FindLight(const std::string& name);
    const RenderLight* FindRenderLight(const Light* light);

    int AddActor(Actor* actor);
    Actor* FindActor(const std::string& name);
    // Every actor's Update with the last frame's duration, in registration order.
    void UpdateActors(float dtMs);
    std::vector<Actor*> Actors();

    int AddAutomation(entity_base* target, const std::string& paramName);
    Automation* FindAutomation(const entity_base* target, const std::string& paramName);
    std::vector<AutomationEntry> Automations();
    // Every track whose last key lies ahead writes its value at demoTime into
    // its parameter; a value that is not finite is never written.
    void EvaluateAutomations(float demoTime);

    // Drops every track, so that the scene's automations can be read again.
    // Only while nothing else uses the tracks: on the main thread, once the
    // scene has been loaded.
    void ClearAutomations();

    int AddEventTrigger(const std::string& name, float time, Triggerable* target);
    // Drops every timed event, so that they can be read again.
    void ClearEventTriggers();
    std::vector<EventTrigger> EventTriggers();
    // The triggers with after < time <= upTo, in list order, into `due`.
    void DueEventTriggers(float after, float upTo, std::vector<EventTrigger>& due);

    int Subscribe(Triggerable* subscriber, const std::string& event);
    // A subscription that takes effect when the subscriber is published.
    int SubscribeWhenPublished(Triggerable* subscriber, const std::string& event);
    void PublishSubscriptions(Triggerable* subscriber);
    // Drops every trace of a subscriber or actor that is being destroyed.
    void Forget(Triggerable* subscriber);
    // Delivers an event; latenessMs says how long ago, in milliseconds of
    // show time, a timed event was due (the frame that fires it comes at or
    // after its time), so that an actor keeping time can start from the
    // event's own moment.
    void Broadcast(const std::string& event, float latenessMs = 0.0f);
    void SendEvent(const std::string& event, Triggerable* target, float latenessMs = 0.0f);
    // While an event is delivered: its lateness; 0 at any other time.
    float EventLatenessMs() const { return eventLatenessMs_; }

    // The state of the show that plays this world: its clock and its view.
    // Until a show attaches its own, the registry has one of its own (for a
    // world loaded without a show). Attached before the loading thread
    // starts, which reads the picture's size from it.
    void AttachShowState(ShowState* state) { showState_ = state ? state : &ownShowState_; }
    ShowState& State() { return *showState_; }

    // Destroys everything the registry lists (actors, automations, objects,
    // lights, meshes, materials), taking their records back from the
    // renderer, and empties it: for a process that loads scene after scene.
    // No other thread may use the registry meanwhile.
    void Clear();

    size_t MeshCount();
    size_t MaterialCount();
    size_t ObjectCount();
    size_t LightCount();

private:
    ShowState ownShowState_;
    ShowState* showState_ = &ownShowState_;
    float eventLatenessMs_ = 0.0f;

    // The subscribers of one event in the order they subscribed, and the
    // same as a set, so that a repeated subscription is found at once.
    struct SubscriberList {
        std::vector<Triggerable*> inOrder;
        std::unordered_set<Triggerable*> members;
    };

    std::vector<Triggerable*> Subscribers(const std::string& event);
    void SubscribeLocked(Triggerable* subscriber, const std::string& event);
    void PublishSubscriptionsLocked(Triggerable* subscriber);
    void SortEventTriggersLocked();

    std::mutex mutex_;
    std::vector<Mesh*> meshes_;
    std::vector<Material*> materials_;
    std::map<entity_base*, std::unique_ptr<RenderInstance>> objects_;
    std::map<Light*, std::unique_ptr<RenderLight>> lights_;
    int nextLightId_ = 0;
    std::vector<Actor*> actors_;
    std::vector<std::unique_ptr<Automation>> ownedAutomations_;
    std::vector<AutomationEntry> automations_;
    // Sorted by time (equal times in the order added) up to sortedTriggers_;
    // those added since follow in the order added until the list is next read.
    std::vector<EventTrigger> eventTriggers_;
    size_t sortedTriggers_ = 0;
    std::map<std::string, SubscriberList> eventSubscriptions_;
    std::vector<std::pair<Triggerable*, std::string>> pendingSubscriptions_;

    // Name lookups, each answering as a scan of its list would.
    NameIndex<Mesh, AddedOrder> meshNames_;
    NameIndex<Material, AddedOrder> materialNames_;
    NameIndex<entity_base, AddressOrder> objectNames_;
    NameIndex<Light, AddressOrder> lightNames_;
    NameIndex<Actor, AddedOrder> actorNames_;
    // Position in automations_ of the track on each target's parameter.
    std::map<std::pair<const entity_base*, std::string>, size_t> automationIndex_;
};

// The process-wide registry, and the operations on it.
World& TheWorld();

int AddMesh(Mesh* mesh);
void AppendMesh(Mesh* mesh);
Mesh* FindMesh(const std::string& name);
void AppendMaterial(Material* material);
Material* FindMaterial(const std::string& name);
int AddObject(entity_base* entity);
int RemoveObject(entity_base* entity);
entity_base* FindObject(const std::string& name);
int AddLight(Light* light);
Light* FindLight(const std::string& name);
int AddActor(Actor* actor);
Actor* FindActor(const std::string& name);
int AddAutomation(entity_base* target, const std::string& paramName);
Automation* FindAutomation(const entity_base* target, const std::string& paramName);
int AddEventTrigger(const std::string& name, float time, Triggerable* target);
int Subscribe(Triggerable* subscriber, const std::string& event);
int SubscribeWhenPublished(Triggerable* subscriber, const std::string& event);
void PublishSubscriptions(Triggerable* subscriber);
void Broadcast(const std::string& event, float latenessMs = 0.0f);
void SendEvent(const std::string& event, Triggerable* target, float latenessMs = 0.0f);
