#include "app/loading_state.h"

void LoadingState::SetSceneFileName(const std::string& name)
{
    std::lock_guard<std::mutex> lock(sceneFileMutex_);
    sceneFileName_ = name;
}

std::string LoadingState::TakeSceneFileName()
{
    std::lock_guard<std::mutex> lock(sceneFileMutex_);
    std::string name;
    name.swap(sceneFileName_);
    return name;
}
