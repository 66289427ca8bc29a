#pragma once
// The one top-level window the demo renders into: full screen at the
// requested size, keys turned into a table of keys held down and a queue of
// typed characters, one window event handled per frame.

#include <array>
#include <cstdint>
#include <deque>
#include <string>

struct SDL_Window;
union SDL_Event;

// Virtual-key codes the demo reads.
enum VirtualKey : uint8_t {
    kKeyBackspace = 0x08,
    kKeyShift = 0x10,
    kKeyEscape = 0x1B,
    kKeySpace = 0x20,
    kKeyInsert = 0x2D,
    kKeyS = 0x53,
    kKeyW = 0x57,
    kKeyNumpadSeparator = 0x6C,
    kKeyNumpadMinus = 0x6D,
    kKeyF1 = 0x70,
    kKeyF2 = 0x71,
    kKeyPeriod = 0xBE,
};

// The character a key produces, 0 for none.
uint8_t TranslateKey(uint8_t virtualKey, bool shift);

class Window {
public:
    SDL_Window* handle = nullptr;
    unsigned width = 0;
    unsigned height = 0;
    std::string title;
    uint8_t fullscreen = 0;
    std::array<uint8_t, 256> keyDown{};
    bool shiftDown = false;
    std::deque<uint8_t> typedChars;
    // The window was asked to close (window manager, Alt+F4) or the process
    // to end (SIGINT, SIGTERM).
    bool closeRequested = false;

    // 0; -1 when the window system cannot be used; -2 when the full-screen
    // mode cannot be set (after the "ERROR" box).
    int Create(unsigned width, unsigned height, bool fullscreen, const std::string& title);
    // Makes the window visible.
    void Show();
    // Handles at most one pending event; 0.
    int PumpMessage();
    void Destroy();

    // What one event does to the key state; used by PumpMessage.
    void HandleEvent(const SDL_Event& event);
    void HandleKey(uint8_t virtualKey, bool down);
};
