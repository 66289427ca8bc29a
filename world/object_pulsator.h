#pragma once
// Shatters meshes and puts them back together. Each entity it takes over gets
// a private copy of its mesh ("<name>_copy"); "destroy" sets every triangle of
// the copies on a random walk that slows down over time, "restore" pulls the
// copies back to the source mesh within 1.5 s. "play", "pause" and "stop"
// gate the whole effect.

#include <vector>

#include "world/actor.h"

class ObjectPulsator : public Actor {
public:
    static constexpr float kRestoreMs = 1500.0f;

    explicit ObjectPulsator(std::string name);

    // Entities with a mesh: their mesh is replaced by a copy drawn in its place.
    int AddEntity(entity_base* entity) override;
    int GetEntityCount() override;
    entity_base* GetEntity(int index) override;
    std::string GetClassName() override;
    void Trigger(std::string event) override;
    void Update(float dtMs) override;

    // Params.x damps the shatter speed.
    Vec3 Params{1.0f, 0.0f, 0.0f};

    bool Exploding() const { return exploding_; }
    bool Playing() const { return playing_; }
    bool Restoring() const { return restoring_; }
    float ElapsedMs() const { return elapsedMs_; }

private:
    void Explode(Mesh& mesh, float dtMs) const;

    std::vector<entity_base*> entries_;
    bool exploding_ = false;
    bool playing_ = false;
    bool restoring_ = false;
    float elapsedMs_ = 0.0f;
};

// A new mesh with its own copy of every vertex array, named "<name>_copy";
// null for a null mesh. It lives for the rest of the run.
Mesh* CopyMesh(const Mesh* mesh);
// Moves the copy's positions 0.5 % per millisecond towards those of the mesh
// it was copied from (found by name). 0 when a step was made; -1 for a null
// copy, a name without "_copy" or a source that is not registered. Only the
// vertices both meshes have are moved.
int RestoreStep(Mesh* copy, float dtMs);
