#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "shell/win32/scmake.h"

#include <cstring>

#include "platform/text.h"
#include "platform/win32/comptr.h"
#include "platform/win32/handle.h"
#include "platform/win32/win32system.h"
#include "shell/common.h"

using platform::TComPtr;

namespace {

// The shell accepts arguments up to this length; a shorter buffer would cut them.
const int kMaxArguments = INFOTIPSIZE;

// The show command as the file's header stores it (the documented shell-link
// layout: a 76-byte header, the shell-link class id at 4, the show command at 60).
// Some shell-link implementations (Wine's among them) report every loaded
// shortcut as SW_SHOWNORMAL; the header is the authority.
bool ReadHeaderShowCmd(const std::wstring& path, int& showCmd) {
    static const unsigned char kHeader[20] = {0x4C, 0, 0,    0, 0x01, 0x14, 0x02, 0, 0, 0,
                                              0,    0, 0xC0, 0, 0,    0,    0,    0, 0, 0x46};
    platform::TFileHandle file{CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (!file) return false;
    unsigned char header[76];
    DWORD got = 0;
    BOOL ok = ReadFile(file.Get(), header, sizeof header, &got, nullptr);
    file.Reset();
    if (!ok || got != sizeof header || memcmp(header, kHeader, sizeof kHeader) != 0) return false;
    showCmd = (int)(header[60] | header[61] << 8 | header[62] << 16 | (unsigned)header[63] << 24);
    return true;
}

// A '?' cannot stand in a file name: a target holding one was stored through a
// code page that lacked one of its characters (a "\\?\" prefix aside).
bool HasLostCharacters(const std::wstring& path) {
    std::wstring::size_type from = path.compare(0, 4, L"\\\\?\\") == 0 ? 4 : 0;
    return path.find(L'?', from) != std::wstring::npos;
}

} // namespace

TSCMake::TSCMake() = default;

void TSCMake::InitialiseCom() {
    if (comTried_) return;
    comTried_ = true;
    HRESULT hr = CoInitialize(nullptr);
    // Only a successful call is balanced: uninitialising a thread that another
    // component set up would pull COM out from under it.
    comInitialised_ = SUCCEEDED(hr);
}

TSCMake::~TSCMake() {
    if (comInitialised_) CoUninitialize();
}

int32_t TSCMake::CreateLink() {
    if (SCName.empty() || SCDir.empty() || LinkPath.empty()) return -1;
    if ((hotKey_ & 0xFF) == 0) hotKey_ = 0; // modifiers without a key are no hot key
    InitialiseCom();
    TComPtr<IShellLinkW> link;
    HRESULT hr =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid());
    if (FAILED(hr)) return hr;
    link->SetPath(platform::Widen(LinkPath).c_str());
    link->SetWorkingDirectory(platform::Widen(WorkDir).c_str());
    link->SetShowCmd(showCmd_);
    link->SetHotkey(hotKey_);
    link->SetIconLocation(platform::Widen(IconPath).c_str(), IconNo);
    link->SetArguments(platform::Widen(Argument).c_str());
    TComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.PutVoid());
    if (FAILED(hr)) return hr;
    // A folder given as a root (D:\) already ends in the separator.
    std::string name = SCDir + (EndsWithPathDelimiter(SCDir) ? "" : "\\") + SCName + ".lnk";
    std::wstring wname = platform::Widen(name);
    // A name cut to fit would save the shortcut under another name.
    if (wname.size() >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    return file->Save(wname.c_str(), TRUE);
}

int TSCMake::AnalizeLink(const std::string& path) {
    if (GetExt(path) != ".lnk") return -1;
    std::wstring wpath = platform::Widen(path);
    if (wpath.size() >= MAX_PATH) return -1;
    InitialiseCom();
    TComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.PutVoid())))
        return -1;
    TComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return -1;
    if (FAILED(file->Load(wpath.c_str(), STGM_READ))) return -1;

    // Each buffer starts empty, so a getter that fails yields an empty text rather
    // than what the previous getter left behind.
    wchar_t buffer[kMaxArguments];
    WIN32_FIND_DATAW findData;
    buffer[0] = 0;
    link->GetPath(buffer, MAX_PATH, &findData, SLGP_UNCPRIORITY);
    std::wstring target = buffer;
    buffer[0] = 0;
    link->GetWorkingDirectory(buffer, MAX_PATH);
    std::wstring workDir = buffer;
    int showCmd = 0;
    link->GetShowCmd(&showCmd);
    int headerShowCmd = 0;
    // Only the two states other than normal are meaningful in a shortcut.
    if (ReadHeaderShowCmd(wpath, headerShowCmd) &&
        (headerShowCmd == SW_SHOWMAXIMIZED || headerShowCmd == SW_SHOWMINNOACTIVE))
        showCmd = headerShowCmd;
    WORD hotKey = 0;
    link->GetHotkey(&hotKey);
    buffer[0] = 0;
    int iconNo = 0;
    link->GetIconLocation(buffer, MAX_PATH, &iconNo);
    std::wstring iconPath = buffer;
    buffer[0] = 0;
    link->GetArguments(buffer, kMaxArguments);
    std::wstring arguments = buffer;

    // A target that lost characters to a code page on its way into the shortcut
    // cannot be started: such a shortcut counts as unreadable, and the caller takes
    // the shortcut file itself. Any other text is kept exact.
    if (HasLostCharacters(target)) return -1;
    std::string nTarget = platform::FromWide(target), nWorkDir = platform::FromWide(workDir),
                nIconPath = platform::FromWide(iconPath), nArguments = platform::FromWide(arguments);

    SCName = RemoveExt(FileNamePart(path));
    SCDir = DirectoryPart(path);
    LinkPath = nTarget;
    WorkDir = nWorkDir;
    showCmd_ = showCmd;
    hotKey_ = hotKey;
    IconPath = nIconPath;
    IconNo = iconNo;
    Argument = nArguments;
    return 0;
}

void TSCMake::GetLinkInfo(platform::TLinkInfo& info) const {
    info.SCDir = SCDir;
    info.SCName = SCName;
    info.LinkPath = LinkPath;
    info.WorkDir = WorkDir;
    info.IconPath = IconPath;
    info.Argument = Argument;
    info.ShowCmd = showCmd_;
    info.IconNo = IconNo;
    info.HotKey = hotKey_;
}

void ConnectShortcutAnalyser(TSCMake* sc) {
    if (!sc) {
        platform::Win32System().SetShortcutAnalyser(nullptr);
        return;
    }
    platform::Win32System().SetShortcutAnalyser([sc](const std::string& path, platform::TLinkInfo& info) {
        int r = sc->AnalizeLink(path);
        if (r == 0) sc->GetLinkInfo(info);
        return r;
    });
}
