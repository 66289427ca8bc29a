#pragma once
// A working directory with the resource search paths registered and the
// recording renderer installed, for tests of the scene loaders.

#include <gtest/gtest.h>

#include "core/file_manager.h"
#include "tests/support/recording_renderer.h"
#include "tests/support/test_support.h"
#include "world/world.h"

class SceneFixture : public testing::Test {
protected:
    void SetUp() override
    {
        TheFileManager().AddSearchPath("model/", "obj", kResourceModel);
        TheFileManager().AddSearchPath("tex/", "bmp", kResourceTexture);
        SetRenderer(&renderer);
        show.viewportWidth = 1920;
        show.viewportHeight = 1080;
        TheWorld().AttachShowState(&show);
    }

    void TearDown() override
    {
        TheWorld().AttachShowState(nullptr);
        SetRenderer(nullptr);
    }

    ScopedWorkDir dir;
    RecordingRenderer renderer;
    ShowState show;
};

// The key times of the target's track on the parameter; none without a track.
inline std::vector<float> KeyTimes(const entity_base* target, const std::string& param)
{
    std::vector<float> times;
    if (Automation* automation = FindAutomation(target, param)) {
        for (const AutomationKey& key : automation->Keys()) {
            times.push_back(key.time);
        }
    }
    return times;
}
