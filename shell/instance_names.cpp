#include "shell/instance_names.h"

namespace {

// Upper-cases the Latin letters, including the full-width ones, as the system's
// upper-casing of a path does; everything else stays as it is.
std::wstring UpperCased(std::wstring s) {
    for (wchar_t& c : s) {
        if (c >= L'a' && c <= L'z')
            c = (wchar_t)(c - L'a' + L'A');
        else if (c >= 0xFF41 && c <= 0xFF5A)
            c = (wchar_t)(c - 0xFF41 + 0xFF21);
    }
    return s;
}

} // namespace

std::wstring BuildInstanceMutexName(const std::wstring& programPath) {
    std::wstring name = UpperCased(programPath);
    for (wchar_t& c : name)
        if (c == L'\\') c = L'/';
    return name;
}

std::wstring BuildActivationMessageName(const std::wstring& programPath) {
    return UpperCased(L"Yorvel_Kiropad_Call@" + programPath);
}
