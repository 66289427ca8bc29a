#pragma once
// A working directory with the resource search paths registered and the
// recording renderer installed, for tests of the scene loaders.

#include <gtest/gtest.h>

#include "core/file_manager.h"
#include "core/process_state.h"
#include "tests/support/recording_renderer.h"
#include "tests/support/test_support.h"

class SceneFixture : public testing::Test {
protected:
    void SetUp() override
    {
        TheFileManager().AddSearchPath("model/", "obj", kResourceModel);
        TheFileManager().AddSearchPath("tex/", "bmp", kResourceTexture);
        SetRenderer(&renderer);
    }

    void TearDown() override { SetRenderer(nullptr); }

    ScopedWorkDir dir;
    RecordingRenderer renderer;
};
