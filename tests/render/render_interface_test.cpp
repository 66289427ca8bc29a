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
