#pragma once
// Entities: named objects with position, rotation and scale that the renderer
// reads through pointers, and named parameters through which the scene
// loader, automations and actors address those vectors.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/math.h"
#include "render/render_records.h"

// The one event entry point of every entity and actor.
class Triggerable {
public:
    virtual ~Triggerable() = default;
    virtual void Trigger(std::string event);
};

enum ParamType : int32_t {
    kParamVec3 = 3,  // three consecutive floats
};

// A named handle on one animatable Vec3 of its owner.
struct Param {
    std::string name;
    int32_t type = kParamVec3;
    Vec3* value = nullptr;
};

class entity_base : public Triggerable {
public:
    explicit entity_base(std::string name);
    entity_base(const entity_base&) = delete;
    entity_base& operator=(const entity_base&) = delete;

    // -1 for null; otherwise 0. An existing parameter of that name is kept.
    // The caller keeps ownership of the Param.
    int AddParam(Param* param);
    // The parameter of exactly that name, or null.
    Param* GetParam(const std::string& name) const;

    Vec3 Position;
    Vec3 Scale;
    Vec3 Rotation;  // x = yaw, y = pitch, z = roll, radians

    // Transform binding handed to the renderer, so it reads the live values.
    Vec3* positionRef = &Position;
    Vec3* scaleRef = &Scale;
    Vec3* rotationRef = &Rotation;
    uint8_t* meshDirtyRef = &meshDirty;

    // Set when this entity's mesh instance has new vertices to upload.
    uint8_t meshDirty = 0;
    std::string name;
    Mesh* meshInstance = nullptr;
    Material* materialInstance = nullptr;
    std::map<std::string, Param*> params;

protected:
    // Creates a parameter owned by this entity and adds it.
    int AddOwnedParam(const std::string& paramName, Vec3* value);

private:
    std::vector<std::unique_ptr<Param>> ownedParams_;
};

// A point light: colour (red, green, blue) and a cutoff whose x sets its reach.
class Light : public entity_base {
public:
    explicit Light(std::string name);

    Vec3 Cutoff;
    Vec3* cutoffRef = &Cutoff;
    Vec3 Color;
    Vec3* colourRef = &Color;
};
