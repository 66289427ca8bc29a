#include "platform/message_box.h"

#include <SDL.h>

#include <atomic>

namespace {

void SystemMessageBox(const std::string& title, const std::string& text)
{
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
}

std::atomic<MessageBoxFunction> boxFunction{SystemMessageBox};

}  // namespace

void ShowMessageBox(const std::string& title, const std::string& text)
{
    boxFunction.load()(title, text);
}

void SetMessageBoxFunction(MessageBoxFunction function)
{
    boxFunction.store(function ? function : SystemMessageBox);
}
