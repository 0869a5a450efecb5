#pragma once
// One call of ShellExecute as the test systems record it (the native fake and the
// Windows pass-through alike).
#include <string>

#include "platform/types.h"

struct TShellCall {
    platform::TWindowHandle Owner = 0;
    std::string Verb, File;
    bool HasParams = false, HasDir = false;
    std::string Params, Dir; // "" when none was passed
    int ShowCmd = 0;
    int Result = 0; // what the system answered

    static TShellCall Of(platform::TWindowHandle owner, const std::string& verb, const std::string& file,
                         const std::string* params, const std::string* dir, int showCmd) {
        TShellCall c;
        c.Owner = owner;
        c.Verb = verb;
        c.File = file;
        c.HasParams = params != nullptr;
        c.Params = params ? *params : std::string();
        c.HasDir = dir != nullptr;
        c.Dir = dir ? *dir : std::string();
        c.ShowCmd = showCmd;
        return c;
    }
};
