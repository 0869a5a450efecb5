#pragma once
// The system services on Windows: the shell (start, copy, icons), file attributes,
// message boxes, the wait cursor and the program's folder. Text crosses into the
// wide API converted with code page 932.
//
// The parts that belong to higher layers come in through hooks: the widget
// framework's application supplies the owner window and its own message box
// (which tests can script), the main window the shortcut analysis of its TSCMake.
#include <functional>
#include <string>
#include <vector>

#include "platform/system.h"

namespace platform {

class TWin32System : public ISystem {
public:
    typedef std::function<TWindowHandle()> TOwnerWindowFn;
    typedef std::function<int(const std::string& text, const std::string& caption, unsigned flags)>
        TMessageBoxFn;
    typedef std::function<int(const std::string& path, TLinkInfo& info)> TShortcutAnalyserFn;

    int ShellExecute(TWindowHandle owner, const std::string& verb, const std::string& file,
                     const std::string* params, const std::string* dir, int showCmd) override;
    int CopyFilesInto(TWindowHandle owner, const std::vector<std::string>& files,
                      const std::string& folder) override;
    platform::TPathKind GetPathKind(const std::string& path) override;
    bool ExtractAssociatedIcon(const std::string& path, TIconImage& icon, TIconPInfo* location) override;
    bool ExtractIndexedIcon(const std::string& file, int index, TIconImage& icon) override;
    bool ExtractIconAtSize(const std::string& file, bool indexed, int index, int size, TIconImage& icon) override;
    int AnalyseShortcut(const std::string& path, TLinkInfo& info) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    void SetWaitCursor(bool wait) override;
    std::string ProgramFolder() override;
    uint32_t ColorToPixel(TColor color) override;
    void BeginWorkerThread() override;
    void EndWorkerThread() override;

    // The window that owns message boxes (none: the desktop).
    void SetOwnerWindowFn(TOwnerWindowFn fn) { ownerWindow_ = std::move(fn); }
    // Takes over MessageBox entirely (the application object routes every box
    // through itself so that tests can answer them).
    void SetMessageBoxFn(TMessageBoxFn fn) { messageBox_ = std::move(fn); }
    // Shortcut analysis; without one every shortcut counts as unreadable (-1).
    void SetShortcutAnalyser(TShortcutAnalyserFn fn) { shortcutAnalyser_ = std::move(fn); }

    // The longest path, in characters, handed to the shell's icon functions.
    static const size_t kMaxIconPath = platform::kMaxIconPath;

private:
    TOwnerWindowFn ownerWindow_;
    TMessageBoxFn messageBox_;
    TShortcutAnalyserFn shortcutAnalyser_;
    int waitDepth_ = 0;
    // Whether this thread initialised COM in BeginWorkerThread.
    static thread_local bool comThread_;
    uintptr_t savedCursor_ = 0;
};

// The process's one Windows system object (it exists before it is installed).
TWin32System& Win32System();
// Makes it the system the portable code reaches through System(); returns it.
TWin32System& InstallWin32System();

// The full name of the running program file, of any length; empty when the system
// cannot tell it.
std::wstring ProgramPath();

// Converts an icon (an HICON) into two cells of size x size: colour, black where the
// icon is transparent, and mask, white (0x00FFFFFF) where it is transparent. Icons
// of other sizes are stretched. False when the handle is no icon.
bool IconToImage(uintptr_t icon, TIconImage& image, int size = 32);

} // namespace platform
