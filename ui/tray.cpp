#include "ui/tray.h"

#include <shellapi.h>

#include <cwchar>

#include "platform/text.h"
#include "ui/window.h"

namespace ui {

TTrayIcon::TTrayIcon(TWindow& owner, UINT callbackMessage, UINT id)
    : owner_(owner), callbackMessage_(callbackMessage), id_(id) {}

TTrayIcon::~TTrayIcon() {
    if (shown_) Remove();
}

bool TTrayIcon::Add(const std::string& iconResource, const std::string& tip) {
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = owner_.Handle();
    nid.uID = id_;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = callbackMessage_;
    // A shared icon belongs to the system's cache: it is never destroyed by us. The
    // notification area shows icons at the small-icon size, which grows with the DPI.
    nid.hIcon =
        (HICON)LoadImageW(GetModuleHandleW(nullptr), platform::Widen(iconResource).c_str(), IMAGE_ICON,
                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    icon_ = nid.hIcon;
    iconResource_ = iconResource;
    tip_ = tip;
    std::wstring text = platform::Widen(tip);
    size_t room = sizeof(nid.szTip) / sizeof(nid.szTip[0]) - 1;
    if (text.size() > room) {
        text.resize(room);
        // Never leave half of a surrogate pair at the end.
        if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();
    }
    wcsncpy(nid.szTip, text.c_str(), room);
    // Shown already: the icon and the tip are replaced.
    bool ok = Shell_NotifyIconW(shown_ ? NIM_MODIFY : NIM_ADD, &nid) != FALSE;
    // The shell's answer is not trusted either way: Remove will ask it to take the icon off.
    shown_ = true;
    window_ = nid.hWnd;
    return ok;
}

bool TTrayIcon::AddAgain() {
    if (!shown_) return false;
    shown_ = false; // the shell holds no icon of ours any more
    return Add(iconResource_, tip_);
}

UINT TTrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

bool TTrayIcon::Remove() {
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = window_;
    nid.uID = id_;
    bool ok = Shell_NotifyIconW(NIM_DELETE, &nid) != FALSE;
    shown_ = false;
    return ok;
}

} // namespace ui
