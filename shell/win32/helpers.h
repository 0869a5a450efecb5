#pragma once
// The common helpers that need Windows itself: system folders, the shell's
// folder-selection dialog and the HTML Help viewer.
#include <string>

#include "platform/types.h"

// kind 0: the Windows folder, 1: the system folder; ending in '\'. Other kinds
// (and a failed query) give an empty text.
std::string GetWinDir(int kind);

// The shell's folder-selection dialog, opening at initial when it is given. The
// chosen folder, or an empty text when the user cancelled, the shell could not
// help, or the folder's path has characters code page 932 cannot hold (the user
// is told so).
std::string BrowseFolder(platform::TWindowHandle owner, const std::string& title, const std::string& initial);

// Opens the HTML Help viewer at topic of file (an empty topic: the file's default
// one). Tells the user when the viewer library is missing; returns the viewer's
// window, or 0 when none opened.
platform::TWindowHandle ShowHtmlHelp(const std::string& file, const std::string& topic = std::string());

// The library ShowHtmlHelp loads ("HHCTRL.OCX"); tests point it elsewhere.
void SetHtmlHelpLibrary(const std::string& name);
