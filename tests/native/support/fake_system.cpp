#include "support/fake_system.h"

#include <cstdlib>
#include <filesystem>

TFakeSystem::TFakeSystem() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kiropad-test-XXXXXX").string();
    const char* made = mkdtemp(&pattern[0]);
    if (!made) std::abort();
    folder_ = std::string(made) + "/";
    platform::SetSystem(this);
}

TFakeSystem::~TFakeSystem() {
    platform::SetSystem(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

int TFakeSystem::ShellExecute(platform::TWindowHandle owner, const std::string& verb, const std::string& file,
                              const std::string* params, const std::string* dir, int showCmd) {
    ShellCalls.push_back(TShellCall::Of(owner, verb, file, params, dir, showCmd));
    ShellCalls.back().Result = ShellResult;
    return ShellResult;
}

int TFakeSystem::CopyFilesInto(platform::TWindowHandle owner, const std::vector<std::string>& files,
                               const std::string& folder) {
    CopyCalls.push_back(TCopyCall{owner, files, folder});
    return CopyResult;
}

platform::TPathKind TFakeSystem::GetPathKind(const std::string& path) {
    auto it = PathKinds.find(path);
    return it == PathKinds.end() ? platform::TPathKind::Missing : it->second;
}

bool TFakeSystem::ExtractAssociatedIcon(const std::string& path, platform::TIconImage& icon,
                                        platform::TIconPInfo* location) {
    std::lock_guard<std::mutex> hold(iconLock_);
    IconRequests.push_back(path);
    auto it = Icons.find(path);
    if (it == Icons.end()) return false;
    icon = it->second;
    if (location) {
        location->Location = path;
        location->Index = 0;
    }
    return true;
}

bool TFakeSystem::ExtractIndexedIcon(const std::string& file, int index, platform::TIconImage& icon) {
    std::lock_guard<std::mutex> hold(iconLock_);
    IconRequests.push_back(file);
    auto it = IndexedIcons.find({file, index});
    if (it == IndexedIcons.end()) return false;
    icon = it->second;
    return true;
}

bool TFakeSystem::ExtractIconAtSize(const std::string& file, bool indexed, int index, int size,
                                    platform::TIconImage& icon) {
    std::lock_guard<std::mutex> hold(iconLock_);
    LargeIconRequests.push_back(file);
    const platform::TIconImage* scripted = nullptr;
    if (indexed) {
        auto it = IndexedIcons.find({file, index});
        if (it != IndexedIcons.end()) scripted = &it->second;
    } else {
        auto it = Icons.find(file);
        if (it != Icons.end()) scripted = &it->second;
    }
    if (!scripted) return false;
    icon = SolidIcon(scripted->Color.Pixel(16, 16), size);
    return true;
}

int TFakeSystem::AnalyseShortcut(const std::string& path, platform::TLinkInfo& info) {
    auto it = Shortcuts.find(path);
    if (it == Shortcuts.end()) return -1;
    info = it->second;
    return 0;
}

int TFakeSystem::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    Boxes.push_back(TBox{text, caption, flags});
    if (OnBox) return OnBox(text, caption, flags);
    if (!BoxAnswers.empty()) {
        int answer = BoxAnswers.front();
        BoxAnswers.pop_front();
        return answer;
    }
    return (flags & 0xF) == platform::mbRetryCancel ? platform::idCancel : platform::idOk;
}

void TFakeSystem::SetWaitCursor(bool wait) {
    WaitCursorDepth += wait ? 1 : -1;
    if (wait) ++WaitCursorShown;
}

uint32_t TFakeSystem::ColorToPixel(platform::TColor color) {
    if (platform::IsSystemColor(color)) return color == platform::clBtnFace ? 0x00C0C0C0 : 0x00000000;
    return platform::ColorRefToPixel(color);
}

platform::TIconImage TFakeSystem::SolidIcon(uint32_t color, int size) {
    platform::TIconImage icon;
    icon.Color = platform::TPixmap(size, size, color);
    icon.Mask = platform::TPixmap(size, size, 0x00FFFFFF);
    icon.Mask.FillRect(platform::TRect(1, 1, size - 1, size - 1), 0);
    return icon;
}
