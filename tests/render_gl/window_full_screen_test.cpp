// Window creation on a real video driver (SDL's offscreen one, which makes
// OpenGL windows): full screen through a replaced platform call, so that a
// screen of another size, and one that cannot go full screen at all, can be
// had anywhere.

#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/window.h"

namespace {

std::vector<std::pair<std::string, std::string>> boxes;
bool shownWhenSwitched = false;

// A screen of 800 x 600, whatever was asked for.
int FillAnotherScreen(SDL_Window* window)
{
    shownWhenSwitched = (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0;
    SDL_SetWindowSize(window, 800, 600);
    return 0;
}

}  // namespace

TEST(WindowCreateTest, FullScreenTakesTheScreensSizeAndAWindowThatCannotGoFullScreenStopsAfterTheBox)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    SetMessageBoxFunction(
        [](const std::string& title, const std::string& text) { boxes.emplace_back(title, text); });
    SetFullScreenFunction(FillAnotherScreen);
    Window window;
    EXPECT_EQ(window.Create(1920, 1080, true, "default"), 0);
    EXPECT_TRUE(shownWhenSwitched) << "a hidden window does not really go full screen";
    EXPECT_EQ(std::pair(window.width, window.height), std::pair(800u, 600u));
    window.Destroy();

    SetFullScreenFunction([](SDL_Window*) { return -1; });  // cannot go full screen
    Window windowed;
    EXPECT_EQ(windowed.Create(320, 180, false, "default"), 0);  // never asked to
    EXPECT_EQ(std::pair(windowed.width, windowed.height), std::pair(320u, 180u));
    windowed.Destroy();
    EXPECT_TRUE(boxes.empty());
    Window refused;
    EXPECT_EQ(refused.Create(1920, 1080, true, "default"), -2);
    EXPECT_EQ(boxes, (std::vector<std::pair<std::string, std::string>>{{"ERROR", "Can't set mode to fullscreen"}}));
    EXPECT_EQ(refused.handle, nullptr);
    EXPECT_NE(refused.failure.find("--windowed"), std::string::npos);
    SetFullScreenFunction(nullptr);
    SetMessageBoxFunction(nullptr);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
