#include "world/object_pulsator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "core/log.h"
#include "world/actor_catalogue.h"
#include "world/random.h"
#include "world/world.h"

namespace {

constexpr const char* kCopySuffix = "_copy";

}  // namespace

Mesh* CopyMesh(const Mesh* mesh)
{
    if (!mesh) {
        return nullptr;
    }
    auto* copy = new Mesh;
    copy->AllocateArrays(mesh->vertexCount);
    const size_t n = mesh->vertexCount;
    auto copyArray = [n](float* to, const float* from, size_t perVertex) {
        if (from) {
            std::memcpy(to, from, n * perVertex * sizeof(float));
        } else {
            std::fill_n(to, n * perVertex, 0.0f);
        }
    };
    copyArray(copy->positions, mesh->positions, 3);
    copyArray(copy->normals, mesh->normals, 3);
    copyArray(copy->texcoords, mesh->texcoords, 2);
    copyArray(copy->tangents, mesh->tangents, 3);
    copyArray(copy->binormals, mesh->binormals, 3);
    copy->name = mesh->name + kCopySuffix;
    return copy;
}

int RestoreStep(Mesh* copy, float dtMs)
{
    if (!copy) {
        return -1;
    }
    const size_t suffix = copy->name.find(kCopySuffix);
    if (suffix == std::string::npos) {
        return -1;
    }
    const Mesh* source = FindMesh(copy->name.substr(0, suffix));
    if (!source) {
        return -1;
    }
    if (!source->positions || !copy->positions) {
        return 0;
    }
    // 0.5 % of the remaining offset per millisecond; a frame of 200 ms or
    // more lands exactly instead of overshooting past the source.
    const float f = std::min(dtMs * 0.001f * 5.0f, 1.0f);
    const size_t floats = 3 * size_t{std::min(source->vertexCount, copy->vertexCount)};
    for (size_t i = 0; i < floats; ++i) {
        copy->positions[i] = copy->positions[i] * (1.0f - f) + source->positions[i] * f;
    }
    return 0;
}

ObjectPulsator::ObjectPulsator(std::string pulsatorName) : Actor(std::move(pulsatorName))
{
    SubscribeTo("destroy");
    SubscribeTo("restore");
    AddOwnedParam("Params", &Params);
}

int ObjectPulsator::AddEntity(entity_base* entity)
{
    if (!entity) {
        return -1;
    }
    Log("ObjectPulsator::AddEntity: Adding mesh ", entity->name, " to ", name);
    if (!entity->meshInstance) {
        LogLine("ObjectPulsator::AddEntity: entity has no mesh");
        return -1;
    }
    RemoveObject(entity);
    Mesh* copy = CopyMesh(entity->meshInstance);
    if (!copy) {
        LogLine("ObjectPulsator::AddEntity: cannot copy mesh");
        return -1;
    }
    if (AddMesh(copy) != 0) {
        LogLine("ObjectPulsator::AddEntity: Cannot add mesh");
    }
    entity->meshInstance = copy;
    elapsedMs_ = 0.0f;
    entries_.push_back(entity);
    AddObject(entity);
    return 0;
}

int ObjectPulsator::GetEntityCount()
{
    return static_cast<int>(entries_.size());
}

entity_base* ObjectPulsator::GetEntity(int index)
{
    return index >= 0 && index < GetEntityCount() ? entries_[index] : nullptr;
}

std::string ObjectPulsator::GetClassName()
{
    return actor_class::kObjectPulsator;
}

void ObjectPulsator::Trigger(std::string event)
{
    if (event == "destroy") {
        exploding_ = true;
        elapsedMs_ = 0.0f;
    } else if (event == "restore") {
        exploding_ = false;
        restoring_ = true;
        elapsedMs_ = 0.0f;
    } else if (event == "play") {
        playing_ = true;
    } else if (event == "pause") {
        playing_ = !playing_;
    } else if (event == "stop") {
        playing_ = false;
        exploding_ = false;
        elapsedMs_ = 0.0f;
        for (entity_base* entity : entries_) {
            RestoreStep(entity->meshInstance, 1.0f);
            entity->meshDirty = 1;
        }
    }
}

void ObjectPulsator::Update(float dtMs)
{
    if ((!exploding_ && !restoring_) || !playing_) {
        return;
    }
    elapsedMs_ += dtMs;
    for (entity_base* entity : entries_) {
        if (restoring_) {
            RestoreStep(entity->meshInstance, dtMs);
            entity->meshDirty = 1;
            if (elapsedMs_ >= kRestoreMs) {
                restoring_ = false;
                return;
            }
        } else {
            Explode(*entity->meshInstance, dtMs);
            entity->meshDirty = 1;
        }
    }
}

// Moves every whole triangle by a fresh random direction, scaled by the
// frame time and a damping that falls as the effect runs.
void ObjectPulsator::Explode(Mesh& mesh, float dtMs) const
{
    const float step = dtMs * 0.008f;
    const float damping = 100.0f / (Params.x * elapsedMs_ * 0.0008f + 1.0f);
    if (!std::isfinite(damping) || !mesh.positions) {
        return;  // a Params.x that zeroes the divisor would scatter the mesh to infinity
    }
    const size_t triangles = mesh.vertexCount / 3;
    for (size_t t = 0; t < triangles; ++t) {
        Vec3 d;
        d.z = NextRandom();
        d.y = NextRandom();
        d.x = NextRandom();
        d.Normalize().Scale(damping).Scale(step);
        float* vertex = mesh.positions + 9 * t;
        for (int corner = 0; corner < 3; ++corner, vertex += 3) {
            vertex[0] += d.x;
            vertex[1] += d.y;
            vertex[2] += d.z;
        }
    }
}
