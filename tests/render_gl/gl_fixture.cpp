#include "tests/render_gl/gl_fixture.h"

#include <SDL.h>

#include <cstdlib>

namespace fs = std::filesystem;

Pixel Frame::At(int x, int y) const
{
    const uint8_t* p = rgba.data() + 4 * (static_cast<size_t>(height - 1 - y) * width + x);  // stored bottom up
    return Pixel{p[0], p[1], p[2]};
}

double Frame::MeanSum(int x0, int y0, int x1, int y1) const
{
    double total = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            total += At(x, y).Sum();
        }
    }
    return total / ((x1 - x0) * (y1 - y0));
}

void CopyShaders()
{
    for (const auto& entry : fs::directory_iterator(DEMO_SHADER_DIR)) {
        fs::copy_file(entry.path(), entry.path().filename(), fs::copy_options::overwrite_existing);
    }
}

void GlFixture::SetUp()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    CopyShaders();
}

void GlFixture::TearDown()
{
    if (renderer) {
        for (auto& object : objects) {
            renderer->RemoveRenderInstance(&object->instance);
        }
        for (auto& light : lights) {
            renderer->ReleaseLight(&light->record);
        }
        renderer->Shutdown();
        renderer.reset();
    }
    window.reset();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

int GlFixture::StartRenderer(int width, int height, unsigned layoutWidth, unsigned layoutHeight,
                             unsigned pictureWidth, unsigned pictureHeight)
{
    window = std::make_unique<Window>();
    window->width = static_cast<unsigned>(width);
    window->height = static_cast<unsigned>(height);
    window->handle = CreateHiddenGlWindow("test", width, height);
    renderer = std::make_unique<RendererGL>();
    if (layoutWidth) {
        renderer->SetLayoutSize(layoutWidth, layoutHeight);
    }
    if (pictureWidth) {
        renderer->SetPictureSize(pictureWidth, pictureHeight);
    }
    return renderer->Init(window.get());
}

namespace {

struct Face {
    Vec3 normal, tangent, binormal;
};

// Appends a unit square face: centre + (a, b) offsets along tangent and binormal.
void AppendFace(Mesh& mesh, size_t& v, const Vec3& centre, const Face& face)
{
    const float corners[6][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, -1}, {1, 1}, {-1, 1}};
    for (const auto& [a, b] : corners) {
        const Vec3 t = face.tangent.Times(a * 0.5f);
        const Vec3 p = face.binormal.Times(b * 0.5f).Plus(centre.x + t.x, centre.y + t.y, centre.z + t.z);
        const Vec3* vectors[4] = {&p, &face.normal, &face.tangent, &face.binormal};
        float* arrays[4] = {mesh.positions, mesh.normals, mesh.tangents, mesh.binormals};
        for (int k = 0; k < 4; ++k) {
            arrays[k][3 * v + 0] = vectors[k]->x;
            arrays[k][3 * v + 1] = vectors[k]->y;
            arrays[k][3 * v + 2] = vectors[k]->z;
        }
        mesh.texcoords[2 * v + 0] = a * 0.5f + 0.5f;
        mesh.texcoords[2 * v + 1] = b * 0.5f + 0.5f;  // v grows along the binormal
        ++v;
    }
}

}  // namespace

Mesh* GlFixture::Faces(int count)
{
    // Each face seen from outside: tangent to the right, binormal downwards.
    const Face faces[6] = {
        {{0, 0, -1}, {1, 0, 0}, {0, -1, 0}},  {{0, 0, 1}, {-1, 0, 0}, {0, -1, 0}},
        {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}},   {{-1, 0, 0}, {0, 0, -1}, {0, -1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},    {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},
    };
    auto mesh = std::make_unique<Mesh>();
    mesh->AllocateArrays(6 * count);
    mesh->name = "mesh" + std::to_string(meshes.size());
    size_t v = 0;
    for (int f = 0; f < count; ++f) {
        AppendFace(*mesh, v, count == 1 ? Vec3{} : faces[f].normal.Times(0.5f), faces[f]);
    }
    renderer->CreateMesh(mesh.get());
    meshes.push_back(std::move(mesh));
    return meshes.back().get();
}

Material* GlFixture::MaterialFromRows(const std::string& name, int width, int height,
                                      const std::vector<uint8_t>& rgb)
{
    auto material = std::make_unique<Material>();
    material->name = name;
    material->width = static_cast<uint32_t>(width);
    material->height = static_cast<uint32_t>(height);
    material->channels = 3;
    material->size = static_cast<uint32_t>(rgb.size());
    material->diffuse = std::make_unique<uint8_t[]>(rgb.size());
    std::copy(rgb.begin(), rgb.end(), material->diffuse.get());
    material->normalMap = std::make_unique<uint8_t[]>(rgb.size());
    for (size_t i = 0; i < rgb.size(); i += 3) {
        material->normalMap[i] = 127;
        material->normalMap[i + 1] = 127;
        material->normalMap[i + 2] = 255;
    }
    renderer->CreateMaterial(material.get());
    materials.push_back(std::move(material));
    return materials.back().get();
}

Material* GlFixture::SolidMaterial(const std::string& name, uint8_t r, uint8_t g, uint8_t b)
{
    return MaterialFromRows(name, 2, 2, {r, g, b, r, g, b, r, g, b, r, g, b});
}

SceneObject* GlFixture::AddObject(Mesh* mesh, const std::string& material, Vec3 position, Vec3 scale,
                                  Vec3 rotation)
{
    auto object = std::make_unique<SceneObject>();
    object->position = position;
    object->scale = scale;
    object->rotation = rotation;
    object->instance.mesh = mesh;
    object->instance.position = &object->position;
    object->instance.scale = &object->scale;
    object->instance.rotation = &object->rotation;
    object->instance.vertexDataChanged = &object->dirty;
    object->instance.materialName = material;
    EXPECT_EQ(renderer->AddRenderInstance(&object->instance), 0);
    objects.push_back(std::move(object));
    return objects.back().get();
}

SceneLight* GlFixture::AddLight(Vec3 position, Vec3 colour, float cutoff)
{
    auto light = std::make_unique<SceneLight>();
    light->position = position;
    light->colour = colour;
    light->cutoff = Vec3{cutoff, 0, 0};
    light->record.id = static_cast<int>(lights.size());
    light->record.position = &light->position;
    light->record.colour = &light->colour;
    light->record.cutoff = &light->cutoff;
    EXPECT_EQ(renderer->AddLight(&light->record), 0);
    lights.push_back(std::move(light));
    return lights.back().get();
}

void GlFixture::LookFromOrigin()
{
    renderer->SetCameraPosition(Vec3{0, 0, 0});
    Matrix4 identity;
    renderer->ApplyCameraRotation(MatrixIdentity(&identity));
    renderer->SetCameraDirection(Vec3{0, 0, 1});
}

Frame GlFixture::Render()
{
    renderer->RenderFrame(16.0f);
    Frame frame;
    frame.width = static_cast<int>(window->width);
    frame.height = static_cast<int>(window->height);
    frame.rgba.resize(static_cast<size_t>(frame.width) * frame.height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
    return frame;
}
