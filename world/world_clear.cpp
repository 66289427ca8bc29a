#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "render/render_interface.h"
#include "world/world.h"

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
        automationIndex_.clear();
        eventTriggers_.clear();
        sortedTriggers_ = 0;
        meshNames_.Clear();
        materialNames_.Clear();
        objectNames_.Clear();
        lightNames_.Clear();
        actorNames_.Clear();
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
