#include "shell/instance_names.h"

#include "platform/text.h"

std::wstring BuildInstanceMutexName(const std::wstring& programPath) {
    std::wstring name = platform::UpperCaseLikeSystem(programPath);
    for (wchar_t& c : name)
        if (c == L'\\') c = L'/';
    return name;
}

std::wstring BuildActivationMessageName(const std::wstring& programPath) {
    return platform::UpperCaseLikeSystem(L"Yorvel_Kiropad_Call@" + programPath);
}
