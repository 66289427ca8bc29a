// GPU resources: vertex buffers for meshes, textures for materials, cube
// shadow maps for lights, and the instance list, each under its list lock.

#include <algorithm>
#include <cstring>

#include "core/log.h"
#include "render/gl/renderer_gl.h"
#include "render/gl/timed_lock.h"

namespace {

enum AttributeLocation : GLuint {
    kPositionLocation = 0,
    kNormalLocation = 1,
    kTexcoordLocation = 2,
    kTangentLocation = 3,
    kBinormalLocation = 4,
};

template <typename List, typename Item>
bool Unlink(List& list, const Item& item)
{
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (*it == item) {
            list.erase(it);
            return true;
        }
    }
    return false;
}

}  // namespace

VertexLayout RendererGL::LayoutFor(const Mesh& mesh)
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
void RendererGL::PackVertices(const Mesh& mesh, const VertexLayout& layout, std::vector<float>& out)
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

int RendererGL::CreateMesh(Mesh* mesh)
{
    if (!mesh || !initialised_) {
        return 0;
    }
    MakeThreadContextCurrent();
    GpuMesh gpu;
    gpu.source = mesh;
    gpu.layout = LayoutFor(*mesh);
    if (gpu.layout.stride == 0) {
        LogLine("VertexBuffer creation failed");
        return 0;
    }
    glCreateBuffers(1, &gpu.buffer);
    std::vector<float> packed;
    PackVertices(*mesh, gpu.layout, packed);
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(packed.size() * sizeof(float));
    glNamedBufferData(gpu.buffer, bytes, bytes ? packed.data() : nullptr, GL_DYNAMIC_DRAW);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteBuffers(1, &gpu.buffer);
        LogLine("VertexBuffer creation failed");
        return 0;
    }
    Log("created vbuffer for ", mesh->vertexCount, " vertices");
    mesh->strideBytes = gpu.layout.stride;
    gpu.name = mesh->name;
    gpu.vertexCount = mesh->vertexCount;
    PublishUploads();
    TimedListLock lock(meshLock_, kRegistrationWait, "mesh");
    meshes_.push_back(gpu);
    return 0;
}

int RendererGL::ReleaseMesh(Mesh* mesh)
{
    logHook_("releasing mesh %s", mesh ? mesh->name.c_str() : "");
    TimedListLock lock(meshLock_, kRegistrationWait, "mesh");
    for (auto it = meshes_.begin(); it != meshes_.end(); ++it) {
        if (it->source == mesh) {
            MakeThreadContextCurrent();
            glDeleteBuffers(1, &it->buffer);
            meshes_.erase(it);
            return 0;
        }
    }
    return -1;
}

int RendererGL::AddRenderInstance(RenderInstance* instance)
{
    if (!instance) {
        return -1;
    }
    TimedListLock lock(instanceLock_, kRegistrationWait, "instance");
    for (GpuMesh& mesh : meshes_) {
        if (mesh.source == instance->mesh) {
            instance->gpuMesh = &mesh;
            instance->modelMatrix = new Matrix4;
            MatrixIdentity(instance->modelMatrix);
            instances_.push_front(instance);
            return 0;
        }
    }
    return -1;
}

int RendererGL::RemoveRenderInstance(RenderInstance* instance)
{
    // Taken here too: the frame walks this list on the main thread.
    TimedListLock lock(instanceLock_, kRegistrationWait, "instance");
    if (!Unlink(instances_, instance)) {
        return -1;
    }
    instance->gpuMesh = nullptr;
    delete instance->modelMatrix;
    instance->modelMatrix = nullptr;
    return 0;
}

GLuint RendererGL::CreateTexture(const Material& material, const uint8_t* pixels)
{
    const GLsizei width = static_cast<GLsizei>(material.width);
    const GLsizei height = static_cast<GLsizei>(material.height);
    if (width <= 0 || height <= 0) {
        return 0;
    }
    int levels = 1;
    while ((std::max(width, height) >> levels) > 0) {
        ++levels;
    }
    GLuint texture = 0;
    glCreateTextures(GL_TEXTURE_2D, 1, &texture);
    glTextureStorage2D(texture, levels, GL_RGBA8, width, height);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &texture);
        return 0;
    }
    Log("filling 32bit texture. width: ", material.width, " height: ", material.height,
        " dataptr: ", HexAddress{pixels});
    // Rows follow each other without padding; the first row is the top one.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTextureSubImage2D(texture, 0, 0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glGenerateTextureMipmap(texture);
    glTextureParameteri(texture, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTextureParameteri(texture, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic")) {
        glTextureParameterf(texture, GL_TEXTURE_MAX_ANISOTROPY_EXT, 8.0f);
    }
    return texture;
}

int RendererGL::CreateMaterial(Material* material)
{
    if (!material || !initialised_) {
        return 0;
    }
    TimedListLock lock(materialLock_, kRegistrationWait, "material");
    MakeThreadContextCurrent();
    GpuMaterial gpu;
    gpu.source = material;
    gpu.name = material->name;
    if (material->diffuse) {
        gpu.diffuse = CreateTexture(*material, material->diffuse.get());
    }
    if (material->normalMap) {
        gpu.normal = CreateTexture(*material, material->normalMap.get());
    }
    PublishUploads();
    materials_.push_front(gpu);
    return 0;
}

int RendererGL::ReleaseMaterial(Material* material)
{
    TimedListLock lock(materialLock_, kRegistrationWait, "material");
    for (auto it = materials_.begin(); it != materials_.end(); ++it) {
        if (it->source == material) {
            MakeThreadContextCurrent();
            glDeleteTextures(1, &it->diffuse);
            glDeleteTextures(1, &it->normal);
            materials_.erase(it);
            return 0;
        }
    }
    return -1;
}

GLuint RendererGL::CreateCubeMap()
{
    GLuint texture = 0;
    glCreateTextures(GL_TEXTURE_CUBE_MAP, 1, &texture);
    glTextureStorage2D(texture, 1, GL_R32F, kShadowMapSize, kShadowMapSize);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &texture);
        return 0;
    }
    glTextureParameteri(texture, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTextureParameteri(texture, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    // Nothing drawn yet: no occluder anywhere.
    const float nothing = 0.0f;
    glClearTexImage(texture, 0, GL_RED, GL_FLOAT, &nothing);
    return texture;
}

int RendererGL::AddLight(RenderLight* light)
{
    if (!light || !initialised_) {
        return -1;
    }
    TimedListLock lock(lightLock_, kRegistrationWait, "light");
    MakeThreadContextCurrent();
    light->shadowMap = nullptr;
    const GLuint texture = CreateCubeMap();
    if (texture == 0) {
        return -1;
    }
    PublishUploads();
    light->shadowMap = new GpuCubeMap{texture};
    lights_.push_back(light);
    return 0;
}

int RendererGL::RemoveLightById(int id)
{
    TimedListLock lock(lightLock_, kRegistrationWait, "light");
    for (auto it = lights_.begin(); it != lights_.end(); ++it) {
        if ((*it)->id == id) {
            lights_.erase(it);
            return 0;
        }
    }
    return -1;
}

int RendererGL::ReleaseLight(RenderLight* light)
{
    TimedListLock lock(lightLock_, kRegistrationWait, "light");
    if (!Unlink(lights_, light)) {
        return 1;
    }
    if (light->shadowMap) {
        MakeThreadContextCurrent();
        glDeleteTextures(1, &light->shadowMap->texture);
        delete light->shadowMap;
        light->shadowMap = nullptr;
    }
    return 0;
}
