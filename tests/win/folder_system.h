#pragma once
// The Windows system layer as the program meets it, with a program folder of the
// caller's: the data file, the icon caches and the help file are looked for there.
// Shared by the Windows tests and the Windows benchmarks; it counts the icons asked
// of the shell.
#include <functional>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/win32/win32system.h"

class TProgramFolderSystem : public platform::ISystem {
public:
    explicit TProgramFolderSystem(std::string folder) : folder_(std::move(folder)) {}
    int ShellExecute(platform::TWindowHandle owner, const std::string& verb, const std::string& file,
                     const std::string* params, const std::string* dir, int showCmd) override {
        return inner_.ShellExecute(owner, verb, file, params, dir, showCmd);
    }
    int CopyFilesInto(platform::TWindowHandle owner, const std::vector<std::string>& files,
                      const std::string& folder) override {
        return inner_.CopyFilesInto(owner, files, folder);
    }
    platform::TPathKind GetPathKind(const std::string& path) override { return inner_.GetPathKind(path); }
    bool ExtractAssociatedIcon(const std::string& path, platform::TIconImage& icon,
                               platform::TIconPInfo* location) override {
        ++IconRequests;
        if (OnIconRequest) OnIconRequest();
        return inner_.ExtractAssociatedIcon(path, icon, location);
    }
    bool ExtractIndexedIcon(const std::string& file, int index, platform::TIconImage& icon) override {
        return inner_.ExtractIndexedIcon(file, index, icon);
    }
    bool ExtractIconAtSize(const std::string& file, bool indexed, int index, int size,
                           platform::TIconImage& icon) override {
        return inner_.ExtractIconAtSize(file, indexed, index, size, icon);
    }
    int AnalyseShortcut(const std::string& path, platform::TLinkInfo& info) override {
        return inner_.AnalyseShortcut(path, info);
    }
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        return inner_.MessageBox(text, caption, flags);
    }
    void SetWaitCursor(bool wait) override { inner_.SetWaitCursor(wait); }
    std::string ProgramFolder() override { return folder_; }
    uint32_t ColorToPixel(platform::TColor color) override { return inner_.ColorToPixel(color); }
    void BeginWorkerThread() override { inner_.BeginWorkerThread(); }
    void EndWorkerThread() override { inner_.EndWorkerThread(); }

    int IconRequests = 0; // icons asked of the shell for a file
    std::function<void()> OnIconRequest;

private:
    platform::TWin32System& inner_ = platform::Win32System();
    std::string folder_;
};
