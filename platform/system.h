#pragma once
// The narrow interface through which the portable model reaches the system:
// starting targets through the shell, copying files, path kinds, icons, shortcut
// analysis, message boxes and the wait cursor. The Win32 implementation lives in
// platform/win32/; native tests install recording fakes.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/pixmap.h"
#include "platform/types.h"

namespace platform {

// The longest path, in characters, handed to the shell's icon functions; a longer
// one gets no icon without asking the shell.
const size_t kMaxIconPath = 260;

// An icon as two square cells, 32 x 32 unless a larger size was asked for: colour
// (0x00RRGGBB) and mask (0x00FFFFFF where the icon is transparent, 0 where it is
// opaque).
struct TIconImage {
    TPixmap Color;
    TPixmap Mask;
};

// Where the shell found an associated icon (the edit dialog shows it).
struct TIconPInfo {
    std::string Location;
    int Index = 0;
};

// What a shortcut file says.
struct TLinkInfo {
    std::string SCDir, SCName, LinkPath, WorkDir, IconPath, Argument;
    int ShowCmd = 0;
    int IconNo = 0;
    unsigned short HotKey = 0;
};

class ISystem {
public:
    virtual ~ISystem() = default;

    // ShellExecute: verb empty = default verb; params/dir null = none.
    // Returns the shell's code (greater than 32 is success).
    virtual int ShellExecute(TWindowHandle owner, const std::string& verb, const std::string& file,
                             const std::string* params, const std::string* dir, int showCmd) = 0;
    // SHFileOperation FO_COPY of the files into folder, flags 0; returns its result (0 = success).
    virtual int CopyFilesInto(TWindowHandle owner, const std::vector<std::string>& files,
                              const std::string& folder) = 0;
    // 0 missing, 1 file, 2 folder.
    virtual TPathKind GetPathKind(const std::string& path) = 0;
    // The shell's associated icon of path; location receives where it was found.
    virtual bool ExtractAssociatedIcon(const std::string& path, TIconImage& icon, TIconPInfo* location) = 0;
    // Icon number index of file; a file without icons gives false.
    virtual bool ExtractIndexedIcon(const std::string& file, int index, TIconImage& icon) = 0;
    // The icon of file at size x size pixels, from the image of the file nearest
    // that size (a display scaled above 100 %): indexed, icon number index of file;
    // otherwise the shell's associated icon. None by default: the faces then show
    // the 32 x 32 icon.
    virtual bool ExtractIconAtSize(const std::string& file, bool indexed, int index, int size, TIconImage& icon) {
        (void)file, (void)indexed, (void)index, (void)size, (void)icon;
        return false;
    }
    // Reads a shortcut file: 0 and info filled on success, -1 on failure.
    virtual int AnalyseShortcut(const std::string& path, TLinkInfo& info) = 0;
    // The application's message box, owned by its active window (MessageBox flags/results).
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // The hourglass while saving and loading.
    virtual void SetWaitCursor(bool wait) = 0;
    // The folder of the running program file, ending in a path separator.
    virtual std::string ProgramFolder() = 0;
    // Resolves a framework colour (system colours included) to a pixel value 0x00RRGGBB.
    virtual uint32_t ColorToPixel(TColor color) = 0;
    // A thread other than the window's calls these before its first call of the
    // shell and when it ends (COM on Windows). Nothing by default.
    virtual void BeginWorkerThread() {}
    virtual void EndWorkerThread() {}
};

// The process-wide system services. The program installs the Win32 one at start;
// tests install fakes. Never null once installed.
ISystem& System();
// Installs system and returns the one it replaces (null when none was installed).
ISystem* SetSystem(ISystem* system);

// The hourglass for the length of a scope, whatever leaves it.
class TWaitCursor {
public:
    TWaitCursor() { System().SetWaitCursor(true); }
    ~TWaitCursor() { System().SetWaitCursor(false); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// Message-box flags and results used across the program (MessageBox values).
const unsigned mbOk = 0x0, mbOkCancel = 0x1, mbRetryCancel = 0x5, mbYesNo = 0x4;
const unsigned mbIconError = 0x10, mbIconQuestion = 0x20, mbIconWarning = 0x30, mbIconInformation = 0x40;
const int idOk = 1, idCancel = 2, idRetry = 4, idYes = 6, idNo = 7;

} // namespace platform
