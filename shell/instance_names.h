#pragma once
// Names that tie two starts of the same program file together: the instance
// mutex and the activation message. Both are derived from the full program path,
// upper-cased, so that starts through paths differing only in letter case meet.
#include <string>

// The upper-cased path with every backslash turned into a slash
// (C:\Tools\Kiropad.exe -> C:/TOOLS/KIROPAD.EXE).
std::wstring BuildInstanceMutexName(const std::wstring& programPath);

// "Yorvel_Kiropad_Call@" followed by the path, all upper-cased, backslashes kept
// (-> YORVEL_KIROPAD_CALL@C:\TOOLS\KIROPAD.EXE).
std::wstring BuildActivationMessageName(const std::wstring& programPath);
