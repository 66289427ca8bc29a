#include "platform/keys.h"

uint8_t VirtualKeyOf(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<uint8_t>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<uint8_t>('0' + (key - SDLK_0));
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return static_cast<uint8_t>(kKeyF1 + (key - SDLK_F1));
    }
    switch (key) {
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return kKeyShift;
    case SDLK_ESCAPE: return kKeyEscape;
    case SDLK_SPACE: return kKeySpace;
    case SDLK_BACKSPACE: return kKeyBackspace;
    case SDLK_RETURN: return kKeyReturn;
    case SDLK_TAB: return kKeyTab;
    case SDLK_PERIOD: return kKeyPeriod;
    case SDLK_COMMA: return kKeyComma;
    case SDLK_MINUS: return kKeyMinus;
    case SDLK_KP_MINUS: return kKeyNumpadMinus;
    case SDLK_KP_COMMA: return kKeyNumpadSeparator;
    case SDLK_INSERT: return kKeyInsert;
    case SDLK_HOME: return kKeyHome;
    case SDLK_LEFT: return kKeyLeft;
    case SDLK_UP: return kKeyUp;
    case SDLK_RIGHT: return kKeyRight;
    case SDLK_DOWN: return kKeyDown;
    default: return 0;
    }
}

uint8_t TranslateKey(uint8_t virtualKey, bool shift)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        return shift ? virtualKey : static_cast<uint8_t>(virtualKey + 0x20);
    }
    if (virtualKey >= '0' && virtualKey <= '9') {
        return virtualKey;
    }
    switch (virtualKey) {
    case kKeySpace:
    case kKeyBackspace:
    case kKeyEscape:
    case kKeyF1:
    case kKeyF2:
        return virtualKey;
    case kKeyPeriod:
        return '.';
    case kKeyNumpadMinus:
    case kKeyNumpadSeparator:
    case kKeyInsert:
        return '-';
    default:
        return 0;
    }
}
