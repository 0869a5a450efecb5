#pragma once
// The value mappings of a shortcut file's show command and hot key, kept apart
// from the COM code so that they are tested on every build.
#include <cstdint>

// The window state a shortcut asks for, in the order the component publishes it.
enum class WNDSTATE { Normal = 0, Maximize = 1, Minimize = 2 };

// Framework shortcut values: bits 0-7 the virtual-key code, plus these modifiers.
const uint16_t scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
// Modifier flags in the high byte of a shell hot key.
const uint8_t hkShift = 1, hkControl = 2, hkAlt = 4;

// Maximize -> 3 (SW_SHOWMAXIMIZED), Minimize -> 7 (SW_SHOWMINNOACTIVE), anything
// else -> 5 (SW_SHOW).
int ShowCmdFromWndState(WNDSTATE state);
// 3 -> Maximize, 7 -> Minimize, every other show command (1, 2, 5 ...) -> Normal.
WNDSTATE WndStateFromShowCmd(int showCmd);

// A framework shortcut as a shell hot key; a shortcut without a key code gives 0
// (modifiers alone are no hot key).
uint16_t HotKeyFromShortcut(uint16_t shortcut);
// The inverse: key code from the low byte, modifiers from the high byte.
uint16_t ShortcutFromHotKey(uint16_t hotKey);
