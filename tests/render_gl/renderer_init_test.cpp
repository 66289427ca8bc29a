// Start-up of the renderer: its log lines, its failure codes and the
// failure box, the resources' log lines, and registration from a second
// thread while frames are drawn.

#include <SDL.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "platform/message_box.h"
#include "tests/render_gl/gl_fixture.h"

namespace {

using InitTest = GlFixture;

std::vector<std::pair<std::string, std::string>> boxes;

void RecordBox(const std::string& title, const std::string& text)
{
    boxes.emplace_back(title, text);
}

}  // namespace

TEST_F(InitTest, StartUpLogsTheAdapterAndTheProjectionScale)
{
    StdoutCapture capture;
    ASSERT_EQ(StartRenderer(1920, 1080), 0);
    const std::vector<std::string> lines = capture.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "ri ctor");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("Adapter 0: .+"))) << lines[1];
    EXPECT_EQ(lines[2], "scaleX = 0.803333 scaleY = 1.42815");
    EXPECT_EQ(renderer->GetConsoleLineCount(), 67);

    StdoutCapture shutdown;
    renderer->Shutdown();
    renderer.reset();
    const std::vector<std::string> last = shutdown.Lines();
    ASSERT_EQ(last.size(), 2u);
    EXPECT_TRUE(std::regex_match(last[0], std::regex("d3dx9 destroy [0-9a-f]+"))) << last[0];
    EXPECT_EQ(last[1], "ri dtor");
}

TEST_F(InitTest, AShaderThatDoesNotCompileStopsStartUpWithItsBox)
{
    boxes.clear();
    SetMessageBoxFunction(RecordBox);
    std::ofstream("gshader.psh") << "#version 450 core\nvoid main() { this is not glsl }\n";
    std::filesystem::remove("mesh_shader.vsh");  // compiled after it: must not be reached
    EXPECT_EQ(StartRenderer(), -1);
    SetMessageBoxFunction(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "PShaderError");
    EXPECT_NE(boxes[0].second.find("gshader.psh"), std::string::npos);
    EXPECT_GT(boxes[0].second.size(), std::string("gshader.psh:\n").size());

    // A vertex shader's failure has its own title.
    boxes.clear();
    CopyShaders();
    std::filesystem::remove("ovrlay_shader.vsh");
    SetMessageBoxFunction(RecordBox);
    renderer.reset();
    EXPECT_EQ(StartRenderer(), -1);
    SetMessageBoxFunction(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "VShaderFailed");
}

TEST_F(InitTest, NoWindowOrNoGraphicsDeviceGiveTheirCodes)
{
    RendererGL withoutWindow;
    EXPECT_EQ(withoutWindow.Init(nullptr), -1);
    Window noHandle;
    EXPECT_EQ(withoutWindow.Init(&noHandle), -1);

    // A window that cannot carry an OpenGL context: no device.
    Window plain;
    plain.width = 64;
    plain.height = 48;
    plain.handle.reset(SDL_CreateWindow("plain", 0, 0, 64, 48, SDL_WINDOW_HIDDEN));
    ASSERT_NE(plain.handle, nullptr);
    RendererGL noDevice;
    EXPECT_EQ(noDevice.Init(&plain), -2);
}

TEST_F(InitTest, ResourcesLogWhatTheyCreateAndRefuseWhatTheyCannot)
{
    ASSERT_EQ(StartRenderer(), 0);
    Mesh partial;
    partial.AllocateArrays(3);
    partial.tangents = nullptr;
    partial.binormals = nullptr;
    partial.name = "partial";
    Mesh bare;
    bare.name = "bare";
    {
        StdoutCapture capture;
        renderer->CreateMesh(&partial);
        renderer->CreateMesh(&bare);
        EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"created vbuffer for 3 vertices",
                                                             "VertexBuffer creation failed"}));
    }
    EXPECT_EQ(partial.strideBytes, 32u);
    RenderInstance instance;
    instance.mesh = &bare;
    EXPECT_EQ(renderer->AddRenderInstance(&instance), -1);
    EXPECT_EQ(instance.gpuMesh, nullptr);
    EXPECT_EQ(instance.modelMatrix, nullptr);

    StdoutCapture capture;
    Material* material = SolidMaterial("plain", 1, 2, 3);
    const std::vector<std::string> lines = capture.Lines();
    ASSERT_EQ(lines.size(), 2u);  // the diffuse picture and the normal map
    EXPECT_TRUE(std::regex_match(lines[0], std::regex("filling 32bit texture. width: 2 height: 2 dataptr: [0-9a-f]+")));
    EXPECT_EQ(renderer->ReleaseMaterial(material), 0);
    EXPECT_EQ(renderer->ReleaseMaterial(material), -1);
    EXPECT_EQ(renderer->ReleaseMesh(&partial), 0);
    EXPECT_EQ(renderer->ReleaseMesh(&partial), -1);

    EXPECT_EQ(renderer->AddLight(nullptr), -1);
    RenderLight unregistered;
    EXPECT_EQ(renderer->ReleaseLight(&unregistered), 1);
    EXPECT_EQ(renderer->RemoveLightById(42), -1);
    int aux = 0;
    EXPECT_EQ(renderer->AddAuxObject(&aux), 0);
    EXPECT_EQ(renderer->AddAuxObject(&aux), -1);
    EXPECT_EQ(renderer->AddAuxObject(nullptr), -1);
    EXPECT_EQ(renderer->RemoveAuxObject(&aux), 0);
    EXPECT_EQ(renderer->RemoveAuxObject(&aux), -1);
}

TEST_F(InitTest, RegistrationFromTheLoadingThreadWhileFramesAreDrawn)
{
    ASSERT_EQ(StartRenderer(), 0);
    LookFromOrigin();
    std::atomic<bool> done{false};
    StdoutCapture quiet;
    std::thread loader([&] {
        for (int i = 0; i < 40; ++i) {
            const std::string picture = "picture" + std::to_string(i);
            const auto grey = static_cast<uint8_t>(100 + i);
            SolidMaterial(picture, grey, grey, grey);
            AddObject(Cube(), picture, Vec3{static_cast<float>(i % 8) - 4.0f, static_cast<float>(i / 8) - 2.0f, 8},
                      Vec3{0.5f, 0.5f, 0.5f});
            if (i % 10 == 0) {
                AddLight(Vec3{0, 0, 4});
            }
        }
        done = true;
    });
    int frames = 0;
    while (!done || frames < 5) {
        renderer->RenderFrame(16.0f);
        ++frames;
    }
    loader.join();
    EXPECT_GT(Render().MeanSum(0, 0, kWidth, kHeight), 1.0);
    for (auto& object : objects) {
        EXPECT_NE(object->instance.gpuMesh, nullptr);
    }
}
