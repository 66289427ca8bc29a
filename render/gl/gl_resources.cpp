#include "render/gl/gl_resources.h"

#include <algorithm>
#include <cstring>

#include "core/log.h"
#include "render/gl/closed_surface.h"
#include "render/gl/list_unlink.h"
#include "render/gl/shadow_signature.h"

namespace {

enum AttributeLocation : GLuint {
    kPositionLocation = 0,
    kNormalLocation = 1,
    kTexcoordLocation = 2,
    kTangentLocation = 3,
    kBinormalLocation = 4,
};

// Drops errors an earlier call left behind, so that the check after the
// next call sees only its own.
void ClearGlErrors()
{
    for (int i = 0; i < 64 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

void DefaultLogHook(const char*, const char*)
{
    LogLine("dummy");
}

// A texture of the material's size with a full mip chain, filled from 3-byte
// pixels whose first row is the top one; empty when it cannot be made.
GlTexture CreateTexture(const Material& material, const uint8_t* pixels)
{
    const GLsizei width = static_cast<GLsizei>(material.width);
    const GLsizei height = static_cast<GLsizei>(material.height);
    if (width <= 0 || height <= 0) {
        return {};
    }
    int levels = 1;
    while ((std::max(width, height) >> levels) > 0) {
        ++levels;
    }
    ClearGlErrors();
    GlTexture texture = NewTexture(GL_TEXTURE_2D);
    glTextureStorage2D(texture.get(), levels, GL_RGBA8, width, height);
    if (glGetError() != GL_NO_ERROR) {
        return {};
    }
    Log("filling 32bit texture. width: ", material.width, " height: ", material.height,
        " dataptr: ", HexAddress{pixels});
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // rows follow each other without padding
    glTextureSubImage2D(texture.get(), 0, 0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glGenerateTextureMipmap(texture.get());
    glTextureParameteri(texture.get(), GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTextureParameteri(texture.get(), GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Trilinear, not anisotropic: on a software rasteriser anisotropic
    // filtering costs as much as the rest of the geometry pass. A colour map
    // looks the same without it; the geometry shader filters a normal map
    // along the pixel's footprint itself.
    return texture;
}

// An R32F cube map for a light's shadows, cleared to "no occluder anywhere";
// empty when it cannot be made.
GlTexture CreateCubeMap()
{
    ClearGlErrors();
    GlTexture texture = NewTexture(GL_TEXTURE_CUBE_MAP);
    glTextureStorage2D(texture.get(), 1, GL_R32F, SceneResources::kShadowMapSize,
                       SceneResources::kShadowMapSize);
    if (glGetError() != GL_NO_ERROR) {
        return {};
    }
    glTextureParameteri(texture.get(), GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTextureParameteri(texture.get(), GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTextureParameteri(texture.get(), GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTextureParameteri(texture.get(), GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTextureParameteri(texture.get(), GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    const float nothing = 0.0f;
    glClearTexImage(texture.get(), 0, GL_RED, GL_FLOAT, &nothing);
    return texture;
}

}  // namespace

SceneResources::SceneResources(GlDevice& device) : device_(device), logHook_(DefaultLogHook) {}

SceneResources::FrameLock::FrameLock(SceneResources& resources)
    : lights_(resources.lightLock_, kFrameWait, "light"),
      meshes_(resources.meshLock_, kFrameWait, "mesh"),
      materials_(resources.materialLock_, kFrameWait, "material"),
      instances_(resources.instanceLock_, kFrameWait, "instance")
{
}

void SceneResources::SetLogHook(LogHook hook)
{
    logHook_ = hook ? hook : DefaultLogHook;
}

VertexLayout SceneResources::LayoutFor(const Mesh& mesh)
{
    VertexLayout layout;
    const std::pair<const float*, VertexLayout::Attribute> candidates[] = {
        {mesh.positions, {kPositionLocation, 3, 0}}, {mesh.normals, {kNormalLocation, 3, 0}},
        {mesh.texcoords, {kTexcoordLocation, 2, 0}}, {mesh.tangents, {kTangentLocation, 3, 0}},
        {mesh.binormals, {kBinormalLocation, 3, 0}},
    };
    for (const auto& [array, attribute] : candidates) {
        if (!array) {
            continue;
        }
        VertexLayout::Attribute placed = attribute;
        placed.offset = layout.stride;
        layout.attributes[layout.count++] = placed;
        layout.stride += static_cast<GLuint>(attribute.components * sizeof(float));
    }
    return layout;
}

// Interleaves the mesh's arrays in layout order.
void SceneResources::PackVertices(const Mesh& mesh, const VertexLayout& layout, std::vector<float>& out)
{
    const float* arrays[5] = {mesh.positions, mesh.normals, mesh.texcoords, mesh.tangents, mesh.binormals};
    const size_t floatsPerVertex = layout.stride / sizeof(float);
    out.resize(size_t{mesh.vertexCount} * floatsPerVertex);
    for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
        float* vertex = out.data() + v * floatsPerVertex;
        for (int a = 0; a < layout.count; ++a) {
            const VertexLayout::Attribute& attribute = layout.attributes[a];
            const size_t n = static_cast<size_t>(attribute.components);
            std::memcpy(vertex + attribute.offset / sizeof(float), arrays[attribute.location] + v * n,
                        n * sizeof(float));
        }
    }
}

bool SceneResources::UploadVertices(GpuMesh& gpu)
{
    const Mesh& mesh = *gpu.source;
    gpu.layout = LayoutFor(mesh);
    // A mesh without vertices has nothing to draw: refused like one
    // without attributes.
    if (gpu.layout.stride == 0 || mesh.vertexCount == 0) {
        LogLine("VertexBuffer creation failed");
        return false;
    }
    std::vector<float> packed;
    PackVertices(mesh, gpu.layout, packed);
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(packed.size() * sizeof(float));
    ClearGlErrors();
    GlBuffer buffer = NewBuffer();
    glNamedBufferData(buffer.get(), bytes, packed.data(), GL_DYNAMIC_DRAW);
    if (glGetError() != GL_NO_ERROR) {
        LogLine("VertexBuffer creation failed");
        return false;
    }
    Log("created vbuffer for ", mesh.vertexCount, " vertices");
    gpu.buffer = std::move(buffer);
    gpu.source->strideBytes = gpu.layout.stride;
    gpu.name = mesh.name;
    gpu.vertexCount = mesh.vertexCount;
    gpu.radius = MeshRadius(mesh);
    gpu.closedWinding = ClosedSurfaceWinding(mesh);
    ++gpu.revision;  // a reloaded mesh may cast another shadow
    return true;
}

int SceneResources::CreateMesh(Mesh* mesh)
{
    if (!mesh || !device_.Ready()) {
        return 0;
    }
    device_.MakeThreadContextCurrent();
    GpuMesh gpu;
    gpu.source = mesh;
    if (!UploadVertices(gpu)) {
        return 0;
    }
    device_.PublishUploads();
    TimedListLock lock(meshLock_, kRegistrationWait, "mesh");
    meshes_.push_back(std::move(gpu));
    return 0;
}

int SceneResources::ReloadMesh(Mesh* mesh)
{
    TimedListLock lock(meshLock_, kRegistrationWait, "mesh");
    const auto found =
        std::find_if(meshes_.begin(), meshes_.end(), [mesh](const GpuMesh& gpu) { return gpu.source == mesh; });
    if (!mesh || found == meshes_.end()) {
        return -1;
    }
    device_.MakeThreadContextCurrent();
    // A mesh whose new contents cannot be uploaded keeps drawing nothing
    // rather than reading past a smaller buffer.
    const bool uploaded = UploadVertices(*found);
    if (!uploaded) {
        found->vertexCount = 0;
    }
    device_.PublishUploads();
    return uploaded ? 0 : -1;
}

int SceneResources::ReleaseMesh(Mesh* mesh)
{
    logHook_("releasing mesh %s", mesh ? mesh->name.c_str() : "");
    TimedListLock lock(meshLock_, kRegistrationWait, "mesh");
    const auto found =
        std::find_if(meshes_.begin(), meshes_.end(), [mesh](const GpuMesh& gpu) { return gpu.source == mesh; });
    if (found == meshes_.end()) {
        return -1;
    }
    device_.MakeThreadContextCurrent();
    meshes_.erase(found);
    return 0;
}

int SceneResources::AddRenderInstance(RenderInstance* instance)
{
    if (!instance) {
        return -1;
    }
    // In the frame's order: materials before instances.
    TimedListLock materials(materialLock_, kRegistrationWait, "material");
    TimedListLock lock(instanceLock_, kRegistrationWait, "instance");
    for (GpuMesh& mesh : meshes_) {
        if (mesh.source == instance->mesh) {
            instance->gpuMesh = &mesh;
            instance->gpuMaterial = FindMaterial(instance->materialName);
            instance->modelMatrix = MatrixIdentity(&modelMatrices_[instance]);
            instances_.push_front(instance);
            return 0;
        }
    }
    return -1;
}

int SceneResources::RemoveRenderInstance(RenderInstance* instance)
{
    // Taken here too: the frame walks this list on the main thread.
    TimedListLock lock(instanceLock_, kRegistrationWait, "instance");
    if (!Unlink(instances_, instance)) {
        return -1;
    }
    instance->gpuMesh = nullptr;
    instance->gpuMaterial = nullptr;
    instance->modelMatrix = nullptr;
    modelMatrices_.erase(instance);
    return 0;
}

int SceneResources::CreateMaterial(Material* material)
{
    if (!material || !device_.Ready()) {
        return 0;
    }
    TimedListLock lock(materialLock_, kRegistrationWait, "material");
    device_.MakeThreadContextCurrent();
    GpuMaterial gpu;
    gpu.source = material;
    gpu.name = material->name;
    if (material->diffuse) {
        gpu.diffuse = CreateTexture(*material, material->diffuse.get());
    }
    if (material->normalMap) {
        gpu.normal = CreateTexture(*material, material->normalMap.get());
    }
    device_.PublishUploads();
    materials_.push_front(std::move(gpu));
    ResolveMaterials(material->name);
    return 0;
}

int SceneResources::ReloadMaterial(Material* material)
{
    TimedListLock lock(materialLock_, kRegistrationWait, "material");
    const auto found = std::find_if(materials_.begin(), materials_.end(),
                                    [material](const GpuMaterial& gpu) { return gpu.source == material; });
    if (!material || found == materials_.end()) {
        return -1;
    }
    device_.MakeThreadContextCurrent();
    found->diffuse = material->diffuse ? CreateTexture(*material, material->diffuse.get()) : GlTexture{};
    found->normal = material->normalMap ? CreateTexture(*material, material->normalMap.get()) : GlTexture{};
    device_.PublishUploads();
    return 0;
}

int SceneResources::ReleaseMaterial(Material* material)
{
    TimedListLock lock(materialLock_, kRegistrationWait, "material");
    const auto found = std::find_if(materials_.begin(), materials_.end(),
                                    [material](const GpuMaterial& gpu) { return gpu.source == material; });
    if (found == materials_.end()) {
        return -1;
    }
    device_.MakeThreadContextCurrent();
    const std::string name = found->name;
    materials_.erase(found);
    ResolveMaterials(name);
    return 0;
}

void SceneResources::ResolveMaterials(const std::string& name)
{
    TimedListLock lock(instanceLock_, kRegistrationWait, "instance");
    const GpuMaterial* material = FindMaterial(name);
    for (RenderInstance* instance : instances_) {
        if (instance->materialName == name) {
            instance->gpuMaterial = material;
        }
    }
}

const GpuMaterial* SceneResources::FindMaterial(const std::string& name) const
{
    for (const GpuMaterial& material : materials_) {
        if (material.name == name) {
            return &material;
        }
    }
    return nullptr;
}

bool SceneResources::Registered(const RenderLight* light) const
{
    return std::find(lights_.begin(), lights_.end(), light) != lights_.end();
}

SceneResources::ShadowSlot* SceneResources::FindSlot(const RenderLight* holder)
{
    for (ShadowSlot& slot : shadowSlots_) {
        if (slot.holder == holder) {
            return &slot;
        }
    }
    return nullptr;
}

void SceneResources::FreeSlotOf(const RenderLight* light)
{
    if (ShadowSlot* slot = FindSlot(light)) {
        slot->holder = nullptr;
    }
}

// A free map, else a new one under the cap, else the one longest out of
// view; null when every map is in view in this frame (or none can be made).
SceneResources::ShadowSlot* SceneResources::SlotForLight(uint64_t frame)
{
    if (ShadowSlot* free = FindSlot(nullptr)) {
        return free;
    }
    if (shadowSlots_.size() < kMostShadowMaps) {
        GlTexture texture = CreateCubeMap();
        if (!texture) {
            return nullptr;
        }
        shadowSlots_.emplace_back();
        shadowSlots_.back().map.texture = std::move(texture);
        return &shadowSlots_.back();
    }
    ShadowSlot* oldest = nullptr;
    for (ShadowSlot& slot : shadowSlots_) {
        if (slot.lastUsed != frame && (!oldest || slot.lastUsed < oldest->lastUsed)) {
            oldest = &slot;
        }
    }
    if (oldest) {
        // A light taken off by id may already be gone: its record is not
        // touched, it keeps its pointer until it is added again.
        if (Registered(oldest->holder)) {
            oldest->holder->shadowMap = nullptr;
        }
        oldest->holder = nullptr;
    }
    return oldest;
}

void SceneResources::AssignShadowMaps(const std::vector<RenderLight*>& inView)
{
    const uint64_t frame = ++shadowFrame_;
    for (RenderLight* light : inView) {
        ShadowSlot* slot = FindSlot(light);
        if (!slot) {
            slot = SlotForLight(frame);
            if (!slot) {
                if (!toldTooManyShadows_) {
                    Problem("More than ", kMostShadowMaps, " shadow-casting lights in view: the others cast no shadow");
                    toldTooManyShadows_ = true;
                }
                continue;
            }
            slot->holder = light;
            slot->map.shownScene = 0;  // drawn for another light, or never
            light->shadowMap = &slot->map;
        }
        slot->lastUsed = frame;
    }
}

int SceneResources::AddLight(RenderLight* light)
{
    if (!light || !device_.Ready()) {
        return -1;
    }
    TimedListLock lock(lightLock_, kRegistrationWait, "light");
    // Its shadow map is lent to it once it is in view.
    FreeSlotOf(light);
    light->shadowMap = nullptr;
    lights_.push_back(light);
    return 0;
}

int SceneResources::RemoveLightById(int id)
{
    TimedListLock lock(lightLock_, kRegistrationWait, "light");
    const auto found =
        std::find_if(lights_.begin(), lights_.end(), [id](const RenderLight* light) { return light->id == id; });
    if (found == lights_.end()) {
        return -1;
    }
    lights_.erase(found);  // its shadow map stays with it
    return 0;
}

int SceneResources::ReleaseLight(RenderLight* light)
{
    TimedListLock lock(lightLock_, kRegistrationWait, "light");
    if (!Unlink(lights_, light)) {
        return 1;
    }
    if (light->shadowMap) {
        device_.MakeThreadContextCurrent();
        shadowSlots_.remove_if([light](const ShadowSlot& slot) { return slot.holder == light; });
        light->shadowMap = nullptr;
    }
    return 0;
}

void SceneResources::UpdateInstances()
{
    for (RenderInstance* instance : instances_) {
        if (!instance || !instance->modelMatrix) {
            continue;
        }
        if (instance->position && instance->scale && instance->rotation) {
            MatrixWorldTransform(instance->modelMatrix, *instance->position, *instance->scale,
                                 *instance->rotation);
        }
        GpuMesh* gpu = instance->gpuMesh;
        if (instance->vertexDataChanged && *instance->vertexDataChanged && gpu && instance->mesh) {
            *instance->vertexDataChanged = 0;
            PackVertices(*instance->mesh, gpu->layout, scratch_);
            const size_t bytes = std::min(scratch_.size() * sizeof(float),
                                          size_t{gpu->vertexCount} * gpu->layout.stride);
            glNamedBufferSubData(gpu->buffer.get(), 0, static_cast<GLsizeiptr>(bytes), scratch_.data());
            gpu->radius = MeshRadius(*instance->mesh);
            gpu->closedWinding = 0;  // pieces flying apart open the surface
            ++gpu->revision;
        }
    }
}

void SceneResources::ReleaseAll()
{
    for (RenderInstance* instance : instances_) {
        instance->modelMatrix = nullptr;
        instance->gpuMesh = nullptr;
        instance->gpuMaterial = nullptr;
    }
    // A light taken off the list by id is its owner's again: not touched.
    for (RenderLight* light : lights_) {
        light->shadowMap = nullptr;
    }
    instances_.clear();
    modelMatrices_.clear();
    lights_.clear();
    shadowSlots_.clear();
    meshes_.clear();
    materials_.clear();
}
