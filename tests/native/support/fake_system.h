#pragma once
// A recording stand-in for the system services: remembers what was started and
// copied, answers path kinds, icons, shortcuts and message boxes from scripts,
// and gives a temporary program folder of its own. Installs itself while it lives.
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/system.h"
#include "support/shell_call.h"

class TFakeSystem : public platform::ISystem {
public:
    typedef ::TShellCall TShellCall;
    struct TCopyCall {
        platform::TWindowHandle Owner = 0;
        std::vector<std::string> Files;
        std::string Folder;
    };
    struct TBox {
        std::string Text, Caption;
        unsigned Flags = 0;
    };

    TFakeSystem();
    ~TFakeSystem() override;
    TFakeSystem(const TFakeSystem&) = delete;
    TFakeSystem& operator=(const TFakeSystem&) = delete;

    int ShellExecute(platform::TWindowHandle owner, const std::string& verb, const std::string& file,
                     const std::string* params, const std::string* dir, int showCmd) override;
    int CopyFilesInto(platform::TWindowHandle owner, const std::vector<std::string>& files,
                      const std::string& folder) override;
    platform::TPathKind GetPathKind(const std::string& path) override;
    bool ExtractAssociatedIcon(const std::string& path, platform::TIconImage& icon,
                               platform::TIconPInfo* location) override;
    bool ExtractIndexedIcon(const std::string& file, int index, platform::TIconImage& icon) override;
    // The scripted icon's colour at the size asked for.
    bool ExtractIconAtSize(const std::string& file, bool indexed, int index, int size,
                           platform::TIconImage& icon) override;
    int AnalyseShortcut(const std::string& path, platform::TLinkInfo& info) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    void SetWaitCursor(bool wait) override;
    std::string ProgramFolder() override { return folder_; }
    uint32_t ColorToPixel(platform::TColor color) override;

    // A square icon of one colour with a transparent frame of one pixel.
    static platform::TIconImage SolidIcon(uint32_t color, int size = 32);

    // Scripts.
    std::map<std::string, platform::TPathKind> PathKinds;              // default missing
    std::map<std::string, platform::TIconImage> Icons; // associated icons by path
    std::map<std::pair<std::string, int>, platform::TIconImage> IndexedIcons;
    std::map<std::string, platform::TLinkInfo> Shortcuts; // by exact path
    std::deque<int> BoxAnswers;                           // default: Cancel or OK
    // When set, answers every box (recorded all the same) instead of BoxAnswers.
    std::function<int(const std::string& text, const std::string& caption, unsigned flags)> OnBox;
    int ShellResult = 42;
    int CopyResult = 0;

    // Records.
    std::vector<TShellCall> ShellCalls;
    std::vector<TCopyCall> CopyCalls;
    std::vector<std::string> IconRequests; // paths and files asked for icons
    std::vector<std::string> LargeIconRequests; // the same, asked at a larger size
    std::vector<TBox> Boxes;
    int WaitCursorDepth = 0;
    int WaitCursorShown = 0;

    // The temporary program folder (ends with '/'), and a file in it.
    std::string Folder() const { return folder_; }
    std::string PathOf(const std::string& name) const { return folder_ + name; }

private:
    std::string folder_;
    // The icon calls may come from worker threads.
    std::mutex iconLock_;
};
