#pragma once
// The system's open-file, colour and font dialogs. Texts in and out are code page
// 932; a file or font name that code page 932 cannot hold is refused with a message
// box (through platform::System()) and the dialog counts as cancelled.
#include <windows.h>

#include <string>

#include "platform/canvas.h"

namespace ui {

class TOpenDialog {
public:
    std::string Title;
    // Descriptions and patterns, separated by '|': "全てのファイル(*.*)|*.*|アプリケーション(*.exe)|*.exe".
    std::string Filter;
    int FilterIndex = 1;    // 1-based, as the system counts
    std::string DefaultExt; // without the dot, added to a name typed without one
    std::string InitialDir; // where the dialog starts
    std::string FileName;   // in: the name shown at start; out: the full path chosen

    // Shows the dialog; true when a file was chosen (FileName holds it).
    bool Execute(HWND owner = nullptr);
};

class TColorDialog {
public:
    platform::TColor Color = platform::clBlack; // in: the colour shown first; out: the chosen one

    bool Execute(HWND owner = nullptr);
};

class TFontDialog {
public:
    platform::TFontSpec Font; // in: the font shown first; out: the chosen one

    bool Execute(HWND owner = nullptr);
};

// The message shown when a chosen name cannot be held in code page 932 (display is
// the name as far as it can be shown).
std::string NotRepresentableNameMessage(const std::string& display);

} // namespace ui
