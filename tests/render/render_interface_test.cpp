#include <gtest/gtest.h>

#include "tests/support/recording_renderer.h"
#include "tests/support/test_support.h"

TEST(RenderInterfaceTest, ConstructionAndDestructionAreLogged)
{
    StdoutCapture capture;
    {
        RecordingRenderer renderer;
        renderer.Init(nullptr);
    }
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"ri ctor", "ri dtor"}));
}

TEST(RenderInterfaceTest, RecordingDoubleAnswersLikeTheRenderer)
{
    RecordingRenderer renderer;
    Mesh created;
    Mesh neverCreated;
    RenderInstance instance;
    instance.mesh = &neverCreated;
    EXPECT_EQ(renderer.AddRenderInstance(&instance), -1);
    EXPECT_EQ(instance.gpuMesh, nullptr);
    EXPECT_EQ(instance.modelMatrix, nullptr);
    renderer.CreateMesh(&created);
    instance.mesh = &created;
    EXPECT_EQ(renderer.AddRenderInstance(&instance), 0);

    EXPECT_EQ(renderer.AddTextInstance(nullptr), -1);
    TextInstance text;
    EXPECT_EQ(renderer.RemoveTextInstance(&text), -1);

    LineSet first;
    LineSet second;
    renderer.AddLineSet(&first);
    renderer.AddLineSet(&second);
    EXPECT_EQ(renderer.RemoveLineSet(&second), 0);
    EXPECT_EQ(renderer.lineSets, (std::vector<LineSet*>{&first}));

    RenderLight light;
    EXPECT_EQ(renderer.ReleaseLight(&light), 1);
    EXPECT_EQ(renderer.GetConsoleLineCount(), 67);
    EXPECT_EQ(renderer.Reserved17(&light), 0);
    EXPECT_EQ(renderer.Reserved18(nullptr), 0);
}
