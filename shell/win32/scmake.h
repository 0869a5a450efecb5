#pragma once
// Reads and writes shell shortcut files (".lnk") through the shell-link COM object.
// The main window owns one (ctlSCMake); items use it to analyse a shortcut that is
// dropped or chosen. Text is code page 932 and crosses into the wide COM
// interfaces converted explicitly, so Japanese paths work on any Windows.
#include <cstdint>
#include <string>

#include "platform/system.h"
#include "shell/linkstate.h"

class TSCMake {
public:
    // COM is initialised for the calling thread (the user-interface thread) when a
    // shortcut is first read or written, not before: a start that touches no shortcut
    // does not load COM at all.
    TSCMake();
    ~TSCMake();
    TSCMake(const TSCMake&) = delete;
    TSCMake& operator=(const TSCMake&) = delete;

    // Writes SCDir\SCName.lnk: 0 (or another success code) on success, -1 when the
    // name, folder or target is missing, otherwise the failing COM result.
    int32_t CreateLink();
    // Reads the shortcut file path: 0 and every property describing it, or -1 and
    // the properties as they were. Only the exact extension ".lnk" is accepted.
    int AnalizeLink(const std::string& path);

    WNDSTATE GetWndState() const { return WndStateFromShowCmd(showCmd_); }
    void SetWndState(WNDSTATE state) { showCmd_ = ShowCmdFromWndState(state); }
    // Framework shortcut value (key code | scShift | scCtrl | scAlt).
    uint16_t GetSCKey() const { return ShortcutFromHotKey(hotKey_); }
    void SetSCKey(uint16_t value) { hotKey_ = HotKeyFromShortcut(value); }

    // The values as the shortcut file stores them.
    int ShowCmd() const { return showCmd_; }
    uint16_t HotKey() const { return hotKey_; }

    // The properties in the form the portable code reads them.
    void GetLinkInfo(platform::TLinkInfo& info) const;

    std::string SCDir;    // folder that holds the shortcut file
    std::string SCName;   // shortcut file name without extension
    std::string LinkPath; // target
    std::string WorkDir;  // working folder
    std::string IconPath; // file that holds the icon
    int IconNo = 0;       // icon index in that file
    std::string Argument; // command-line arguments

private:
    void InitialiseCom();

    int showCmd_ = 0;
    uint16_t hotKey_ = 0;
    bool comTried_ = false;
    bool comInitialised_ = false;
};

// Makes sc the shortcut analyser of the Windows system object (the main window
// does this for its ctlSCMake); null disconnects it.
void ConnectShortcutAnalyser(TSCMake* sc);
