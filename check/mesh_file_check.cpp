// Model files: header, size against the vertex count, whole triangles,
// finite vertex values.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "check/file_checks.h"
#include "core/file_manager.h"
#include "core/file_read.h"
#include "core/stop_signals.h"
#include "formats/little_endian.h"
#include "formats/model_file.h"
#include "scene/mesh_loader.h"

namespace {

float PositionValue(const uint8_t* records, uint32_t vertex, uint32_t component)
{
    float value = 0.0f;
    std::memcpy(&value, records + size_t{vertex} * kModelVertexBytes + component * sizeof(float), sizeof value);
    return value;
}

MeshExtent ExtentOf(const uint8_t* records, uint32_t count)
{
    MeshExtent extent;
    float squared = 0.0f;
    for (uint32_t v = 0; v < count; ++v) {
        const Vec3 p{PositionValue(records, v, 0), PositionValue(records, v, 1), PositionValue(records, v, 2)};
        extent.lowest = v == 0 ? p : Vec3{std::min(extent.lowest.x, p.x), std::min(extent.lowest.y, p.y),
                                          std::min(extent.lowest.z, p.z)};
        extent.highest = v == 0 ? p : Vec3{std::max(extent.highest.x, p.x), std::max(extent.highest.y, p.y),
                                           std::max(extent.highest.z, p.z)};
        squared = std::max(squared, Dot(p, p));
    }
    extent.radius = std::sqrt(squared);
    return extent;
}

// True when every value is finite.
bool CheckVertexValues(const std::string& path, const uint8_t* records, uint32_t count, SceneContext& context)
{
    uint32_t bad = 0;
    uint32_t first = 0;
    for (uint32_t v = 0; v < count; ++v) {
        for (uint32_t f = 0; f < kModelFloatsPerVertex; ++f) {
            float value = 0.0f;
            std::memcpy(&value, records + size_t{v} * kModelVertexBytes + f * sizeof(float), sizeof value);
            if (!std::isfinite(value)) {
                first = bad == 0 ? v : first;
                ++bad;
                break;
            }
        }
    }
    if (bad > 0) {
        context.found.Error(path, {}, std::to_string(bad) + " vertices hold a value that is not finite, the first " +
                                          "vertex " + std::to_string(first) + " (byte " +
                                          std::to_string(kModelHeaderBytes + size_t{first} * kModelVertexBytes) + ")");
    }
    return bad == 0;
}

void CheckMeshFile(const std::string& name, const MarkedElement& entry, SceneContext& context)
{
    if (name.size() > kMaxResourceNameLength) {
        context.Error(entry.where, "mesh name '" + name + "' is longer than " + std::to_string(kMaxResourceNameLength) +
                                       " characters: its file is not opened");
        return;
    }
    const std::string path = "model/" + name + ".obj";
    // Read as the loader reads it: refused from its header, and only the
    // records its count needs.
    std::string refused;
    const ReadAdmission byHeader = ModelAdmission();
    ReadAdmission admission = byHeader;
    admission.maxBytes = UINT32_MAX;  // no resource file is larger
    admission.admit = [&](const uint8_t* head, size_t headSize, uint64_t fileSize, uint64_t* readBytes) {
        refused = byHeader.admit(head, headSize, fileSize, readBytes);
        return refused;
    };
    FileBytes bytes;
    std::string reason;
    if (!ReadWholeFile(path, bytes, &reason, admission)) {
        if (refused.empty()) {
            context.Error(entry.where, "mesh file '" + path + "' cannot be read: " + reason);
        } else {
            context.found.Error(path, {}, refused + ": the mesh is refused");
        }
        return;
    }
    const uint32_t count = ReadU32(bytes.data.get());
    if (bytes.fileSize != bytes.size) {
        context.found.Error(path, {}, std::to_string(count) + " vertices need " + std::to_string(bytes.size) +
                                          " bytes, the file holds " + std::to_string(bytes.fileSize) +
                                          ": the rest is not read");
    }
    if (count == 0) {
        context.found.Error(path, {}, "it holds no vertices: the mesh is not drawn");
    } else if (count % 3 != 0) {
        context.found.Error(path, {}, std::to_string(count) + " vertices is not a multiple of 3: the last triangle is incomplete");
    }
    if (CheckVertexValues(path, bytes.data.get() + kModelHeaderBytes, count, context) && count > 0) {
        context.meshExtents[name] = ExtentOf(bytes.data.get() + kModelHeaderBytes, count);
    }
}

}  // namespace

void CheckMeshFiles(SceneContext& context)
{
    if (!context.sections[kMeshes]) {
        return;
    }
    for (const auto& entry : context.sections[kMeshes]->children) {
        if (StopRequested()) {
            return;  // the check is ending
        }
        if (context.meshes.at(entry->name) == entry) {  // a mesh loaded twice is checked once
            CheckMeshFile(entry->name, *entry, context);
        }
    }
}
