#pragma once
// Virtual-key codes, SDL's keys translated to them, and the characters that
// key presses type.

#include <cstdint>

#include <SDL_keycode.h>

// Virtual-key codes the demo reads.
enum VirtualKey : uint8_t {
    kKeyBackspace = 0x08,
    kKeyTab = 0x09,
    kKeyReturn = 0x0D,
    kKeyShift = 0x10,
    kKeyEscape = 0x1B,
    kKeySpace = 0x20,
    kKeyHome = 0x24,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
    kKeyInsert = 0x2D,
    kKeyS = 0x53,
    kKeyW = 0x57,
    kKeyNumpadSeparator = 0x6C,
    kKeyNumpadMinus = 0x6D,
    kKeyF1 = 0x70,
    kKeyF2 = 0x71,
    kKeyComma = 0xBC,
    kKeyMinus = 0xBD,
    kKeyPeriod = 0xBE,
};

// SDL's key code as a virtual-key code; 0 for keys without one.
uint8_t VirtualKeyOf(SDL_Keycode key);

// The character a key produces, 0 for none.
uint8_t TranslateKey(uint8_t virtualKey, bool shift);
