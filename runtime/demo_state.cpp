#include "runtime/demo_state.h"

#include "runtime/music_player.h"
#include "runtime/timer.h"

void DemoState::SetSceneFileName(const std::string& name)
{
    std::lock_guard<std::mutex> lock(sceneFileMutex_);
    sceneFileName_ = name;
}

std::string DemoState::TakeSceneFileName()
{
    std::lock_guard<std::mutex> lock(sceneFileMutex_);
    std::string name;
    name.swap(sceneFileName_);
    return name;
}

DemoState& TheDemoState()
{
    static DemoState state;
    return state;
}

Timer& TheFrameTimer()
{
    static Timer timer;
    return timer;
}

MusicPlayer& TheMusicPlayer()
{
    static MusicPlayer player;
    return player;
}
