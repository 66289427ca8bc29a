#pragma once
// Records that cross the render interface. The caller owns each record and
// unregisters it before destroying it; the renderer keeps pointers to them,
// reads them every frame and attaches its own GPU objects.

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "core/math.h"

// GPU-side objects are the renderer's own; the rest of the system only
// carries pointers to them.
struct GpuMesh;
struct GpuCubeMap;
struct GpuMaterial;

// A triangle list without index data: vertices 0, 1, 2 are the first
// triangle. Each attribute array holds vertexCount entries or is null.
struct Mesh {
    uint32_t vertexCount = 0;
    uint32_t strideBytes = 0;  // written by the renderer when it builds the vertex buffer
    float* positions = nullptr;  // 3 floats per vertex
    float* normals = nullptr;    // 3 floats per vertex
    float* texcoords = nullptr;  // 2 floats per vertex
    float* tangents = nullptr;   // 3 floats per vertex
    float* binormals = nullptr;  // 3 floats per vertex
    std::string name;

    static constexpr size_t kFloatsPerVertex = 14;

    Mesh() = default;
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Gives the mesh its five arrays for vertexCount vertices, carved out of
    // one block that the mesh owns; their contents are not initialised.
    void AllocateArrays(uint32_t count);

private:
    std::unique_ptr<float[]> storage_;
};

// A colour texture and its normal map, 3 bytes per pixel (red, green, blue),
// rows packed without padding; the first row becomes the texture's top row.
struct Material {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;
    std::unique_ptr<uint8_t[]> diffuse;    // size bytes
    std::unique_ptr<uint8_t[]> normalMap;  // width * height * 3 bytes
    uint32_t size = 0;                     // channels * width * height
    std::string name;

    Material() = default;
    Material(const Material&) = delete;
    Material& operator=(const Material&) = delete;
    ~Material();  // writes "material dtor"
};

// One drawn object; the pointers reach the live vectors of its entity.
struct RenderInstance {
    Mesh* mesh = nullptr;
    Vec3* position = nullptr;
    Vec3* scale = nullptr;
    Vec3* rotation = nullptr;  // yaw, pitch, roll in radians
    uint8_t* vertexDataChanged = nullptr;  // non-zero: re-upload the mesh, then clear
    GpuMesh* gpuMesh = nullptr;            // set by the renderer
    Matrix4* modelMatrix = nullptr;        // owned by the renderer while registered
    std::string materialName;              // set before the instance is registered
    // Set by the renderer: the newest material of that name, found when the
    // instance is registered and again when a material of that name comes
    // or goes; null while there is none.
    const GpuMaterial* gpuMaterial = nullptr;
};

// Whether a light of this cutoff (its reach, the x of its Cutoff) can light
// anything: a positive, finite reach. Others are not drawn; the scene loader
// says so, and the checker reports it.
inline bool LightReaches(float cutoff)
{
    return cutoff > 0.0f && cutoff <= std::numeric_limits<float>::max();
}

struct RenderLight {
    int id = 0;
    Vec3* position = nullptr;
    Vec3* colour = nullptr;  // red, green, blue
    Vec3* cutoff = nullptr;  // only x is read
    GpuCubeMap* shadowMap = nullptr;  // set by the renderer
};

struct TextInstance {
    const char* text = nullptr;  // zero-terminated; the owner may rewrite it at any time
    int bigFont = 0;             // non-zero selects the large font
    int x = 0;                   // top-left of the text, pixels
    int y = 0;
    uint32_t colour = 0;         // ARGB
};

struct LineSet {
    const float* points = nullptr;  // x, y, z triples in world space
    uint32_t count = 0;
};
