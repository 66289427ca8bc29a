#pragma once
// The scene's GPU resources: vertex buffers for meshes, textures for
// materials, cube shadow maps for lights, and the drawn instances, each list
// under its own lock. The loading thread registers resources while the main
// thread draws; registrations wait at most kRegistrationWait for a lock, a
// frame at most kFrameWait, and both are logged when they wait longer.

#include <chrono>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "render/gl/gl_device.h"
#include "render/gl/gl_objects.h"
#include "render/gl/gl_vertex_stream.h"
#include "render/gl/timed_lock.h"
#include "render/render_records.h"

struct GpuMesh {
    Mesh* source = nullptr;
    std::string name;
    GlBuffer buffer;
    VertexLayout layout;
    uint32_t vertexCount = 0;
    float radius = 0.0f;    // around the mesh's origin, holding every vertex
    uint32_t revision = 0;  // counts the rewrites of the vertices
    int closedWinding = 0;  // ClosedSurfaceWinding of the vertices; 0 while they move
};

struct GpuCubeMap {
    GlTexture texture;
    uint64_t shownScene = 0;  // the shadow signature of what it shows; 0: nothing drawn yet
};

struct GpuMaterial {
    std::string name;
    GlTexture diffuse;
    GlTexture normal;
    Material* source = nullptr;
};

class SceneResources {
public:
    static constexpr int kShadowMapSize = 512;
    // A cube shadow map is 6 x 512 x 512 single floats, about 6 MiB. Lights
    // share this many at most, about 100 MiB, however many the scene has:
    // a light holds one while it lights what the camera sees, and gives it
    // up to a light in view when it has been out of view longest.
    static constexpr size_t kMostShadowMaps = 16;
    static constexpr auto kRegistrationWait = std::chrono::milliseconds(1000);
    static constexpr auto kFrameWait = std::chrono::milliseconds(4000);

    // The replaceable hook through which ReleaseMesh reports what it releases.
    using LogHook = void (*)(const char* format, const char* name);

    explicit SceneResources(GlDevice& device);
    SceneResources(const SceneResources&) = delete;
    SceneResources& operator=(const SceneResources&) = delete;

    int CreateMesh(Mesh* mesh);
    int ReleaseMesh(Mesh* mesh);
    int AddRenderInstance(RenderInstance* instance);
    int RemoveRenderInstance(RenderInstance* instance);
    int CreateMaterial(Material* material);
    int ReleaseMaterial(Material* material);
    // The mesh's or material's GPU copy made again from its record's current
    // contents, in place: instances keep drawing it. -1 when it was never
    // created (or, for a mesh, its vertex buffer cannot be built).
    int ReloadMesh(Mesh* mesh);
    int ReloadMaterial(Material* material);
    int AddLight(RenderLight* light);
    int RemoveLightById(int id);
    int ReleaseLight(RenderLight* light);
    void SetLogHook(LogHook hook);

    // The four lists held for a frame, taken in the order every frame takes
    // them: lights, meshes, materials, instances.
    class FrameLock {
    public:
        explicit FrameLock(SceneResources& resources);

    private:
        TimedListLock lights_;
        TimedListLock meshes_;
        TimedListLock materials_;
        TimedListLock instances_;
    };

    // Under the frame lock: model matrices from the live vectors, and vertex
    // buffers rewritten for instances whose vertices changed.
    void UpdateInstances();
    const std::list<RenderInstance*>& Instances() const { return instances_; }
    const std::vector<RenderLight*>& Lights() const { return lights_; }
    // Under the frame lock: each of these lights (the ones in view) gets a
    // shadow map: the one it holds, a free one, a new one while fewer than
    // kMostShadowMaps exist, or the one of the light out of view longest. A
    // light beyond them keeps none (its shadowMap null) and casts no shadow
    // in this frame; the first time that happens it is logged.
    void AssignShadowMaps(const std::vector<RenderLight*>& inView);
    // The shadow maps that exist.
    size_t ShadowMapCount() const { return shadowSlots_.size(); }
    // The first material of that name, newest first; null when there is
    // none. Instances keep theirs (RenderInstance::gpuMaterial).
    const GpuMaterial* FindMaterial(const std::string& name) const;

    // Lets every GPU object go and forgets every record, clearing the
    // records' pointers to what the renderer attached. The main context must
    // be current.
    void ReleaseAll();

private:
    static VertexLayout LayoutFor(const Mesh& mesh);
    // Fills the GPU mesh's vertex buffer from its source; false when no
    // buffer can be built.
    bool UploadVertices(GpuMesh& gpu);
    static void PackVertices(const Mesh& mesh, const VertexLayout& layout, std::vector<float>& out);

    GlDevice& device_;
    std::timed_mutex lightLock_;
    std::timed_mutex meshLock_;
    std::timed_mutex materialLock_;
    std::timed_mutex instanceLock_;
    std::vector<RenderLight*> lights_;
    // A shadow map and the light it is lent to (none while free), with the
    // frame it was last in view in.
    struct ShadowSlot {
        GpuCubeMap map;
        RenderLight* holder = nullptr;
        uint64_t lastUsed = 0;
    };
    ShadowSlot* FindSlot(const RenderLight* holder);
    ShadowSlot* SlotForLight(uint64_t frame);
    void FreeSlotOf(const RenderLight* light);
    bool Registered(const RenderLight* light) const;
    // Under the material and instance locks: each instance of the material's
    // name finds its material again.
    void ResolveMaterials(const std::string& name);

    std::list<ShadowSlot> shadowSlots_;  // under the light lock; a list, so that maps stay in place
    uint64_t shadowFrame_ = 0;
    bool toldTooManyShadows_ = false;
    std::list<GpuMesh> meshes_;
    std::list<GpuMaterial> materials_;
    std::list<RenderInstance*> instances_;
    std::map<const RenderInstance*, Matrix4> modelMatrices_;  // under the instance lock
    LogHook logHook_;
    std::vector<float> scratch_;
};
