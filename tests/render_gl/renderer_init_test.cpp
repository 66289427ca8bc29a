// Start-up of the renderer: its log lines, its failure codes and the
// failure box, the resources' log lines, and registration from a second
// thread while frames are drawn.

#include <SDL.h>

#include <atomic>
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

TEST_F(InitTest, StartUpResourcesAndShutdownLogWhatTheyDoAndResourcesRefuseWhatTheyCannot)
{
    StdoutCapture capture;
    ASSERT_EQ(StartRenderer(1920, 1080), 0);
    const std::string started = capture.Text();
    const std::regex startUp("ri ctor\nAdapter 0: .+\nscaleX = 0\\.803333 scaleY = 1\\.42815\n");
    EXPECT_TRUE(std::regex_match(started, startUp)) << started;
    EXPECT_EQ(renderer->GetConsoleLineCount(), 67);

    // Resources log what they create and refuse what they cannot.
    Mesh partial;
    partial.AllocateArrays(3);
    partial.tangents = nullptr;
    partial.binormals = nullptr;
    partial.name = "partial";
    Mesh bare;
    bare.name = "bare";
    {
        StdoutCapture created;
        renderer->CreateMesh(&partial);
        renderer->CreateMesh(&bare);
        EXPECT_EQ(created.Lines(), (std::vector<std::string>{"created vbuffer for 3 vertices",
                                                             "VertexBuffer creation failed"}));
    }
    EXPECT_EQ(partial.strideBytes, 32u);
    RenderInstance instance;
    instance.mesh = &bare;
    EXPECT_EQ(renderer->AddRenderInstance(&instance), -1);
    EXPECT_EQ(instance.gpuMesh, nullptr);
    EXPECT_EQ(instance.modelMatrix, nullptr);

    StdoutCapture textures;
    Material* material = SolidMaterial("plain", 1, 2, 3);
    // The diffuse picture and the normal map.
    const std::regex filling("(filling 32bit texture. width: 2 height: 2 dataptr: [0-9a-f]+\n){2}");
    EXPECT_TRUE(std::regex_match(textures.Text(), filling));
    // Released once; registered once, and never null.
    EXPECT_EQ(std::vector<int>({renderer->ReleaseMaterial(material), renderer->ReleaseMaterial(material),
                                renderer->ReleaseMesh(&partial), renderer->ReleaseMesh(&partial)}),
              std::vector<int>({0, -1, 0, -1}));
    RenderLight unregistered;
    EXPECT_EQ(std::vector<int>({renderer->AddLight(nullptr), renderer->ReleaseLight(&unregistered),
                                renderer->RemoveLightById(42)}),
              std::vector<int>({-1, 1, -1}));
    int aux = 0;
    EXPECT_EQ(std::vector<int>({renderer->AddAuxObject(&aux), renderer->AddAuxObject(&aux),
                                renderer->AddAuxObject(nullptr), renderer->RemoveAuxObject(&aux),
                                renderer->RemoveAuxObject(&aux)}),
              std::vector<int>({0, -1, -1, 0, -1}));

    {
        StdoutCapture released;
        { Material gone; }
        EXPECT_EQ(released.Lines(), std::vector<std::string>{"material dtor"});
    }

    StdoutCapture shutdown;
    renderer->Shutdown();
    renderer.reset();
    const std::string ended = shutdown.Text();
    EXPECT_TRUE(std::regex_match(ended, std::regex("d3dx9 destroy [0-9a-f]+\nri dtor\n"))) << ended;
}

TEST_F(InitTest, AShaderThatDoesNotCompileNoWindowOrNoGraphicsDeviceStopStartUpWithTheirCodes)
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
    // What the user is told: the file and the compiler's first line.
    EXPECT_TRUE(std::regex_match(renderer->InitFailure(), std::regex("shader file gshader\\.psh: .*error.*")))
        << renderer->InitFailure();

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

    // No window, or one that cannot carry an OpenGL context, give their own codes.
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

    // No context for the loading thread: it could not upload anything.
    renderer.reset();
    CopyShaders();
    GlDevice::SetSharedContextMaker([](SDL_Window*) -> void* { return nullptr; });
    EXPECT_EQ(StartRenderer(), -2);
    GlDevice::SetSharedContextMaker(nullptr);
    EXPECT_EQ(renderer->InitFailure(), "no second OpenGL context for the loading thread");
}

TEST_F(InitTest, AnErrorLeftByAnEarlierCallFailsNoResourceAndAMeshWithoutVerticesIsRefused)
{
    ASSERT_EQ(StartRenderer(), 0);
    const auto leaveAnError = [] { glEnable(0x7FFF); };  // GL_INVALID_ENUM, left unread
    StdoutCapture capture;
    Mesh good;
    good.AllocateArrays(3);
    good.name = "good";
    leaveAnError();
    renderer->CreateMesh(&good);
    leaveAnError();
    SolidMaterial("plain", 1, 2, 3);
    leaveAnError();
    AddLight(Vec3{0, 0, 0});  // expects 0
    Mesh empty;
    empty.AllocateArrays(0);
    empty.name = "empty";
    renderer->CreateMesh(&empty);
    const std::string text = capture.Text();
    const std::vector<std::string> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 4u) << text;
    EXPECT_EQ(lines[0], "created vbuffer for 3 vertices");
    EXPECT_EQ(lines[1].rfind("filling 32bit texture", 0), 0u);
    EXPECT_EQ(lines[3], "VertexBuffer creation failed");
    RenderInstance instances[2];
    instances[0].mesh = &good;
    instances[1].mesh = &empty;
    EXPECT_EQ(std::pair(renderer->AddRenderInstance(&instances[0]), renderer->AddRenderInstance(&instances[1])),
              std::pair(0, -1));
    renderer->RemoveRenderInstance(&instances[0]);
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
