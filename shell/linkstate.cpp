#include "shell/linkstate.h"

int ShowCmdFromWndState(WNDSTATE state) {
    switch (state) {
    case WNDSTATE::Maximize:
        return 3;
    case WNDSTATE::Minimize:
        return 7;
    default:
        return 5;
    }
}

WNDSTATE WndStateFromShowCmd(int showCmd) {
    if (showCmd == 3) return WNDSTATE::Maximize;
    if (showCmd == 7) return WNDSTATE::Minimize;
    return WNDSTATE::Normal;
}

uint16_t HotKeyFromShortcut(uint16_t shortcut) {
    uint16_t key = shortcut & 0xFF;
    if (key == 0) return 0;
    uint8_t mods = 0;
    if (shortcut & scShift) mods |= hkShift;
    if (shortcut & scAlt) mods |= hkAlt;
    if (shortcut & scCtrl) mods |= hkControl;
    return (uint16_t)(key | (mods << 8));
}

uint16_t ShortcutFromHotKey(uint16_t hotKey) {
    uint16_t result = hotKey & 0xFF;
    uint8_t mods = (uint8_t)(hotKey >> 8);
    if (mods & hkShift) result |= scShift;
    if (mods & hkAlt) result |= scAlt;
    if (mods & hkControl) result |= scCtrl;
    return result;
}
