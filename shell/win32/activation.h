#pragma once
// What a second start of the program does to bring the running copy forward.
#include <windows.h>

#include <string>

// The two system calls involved, replaceable so that their order can be seen.
class IActivationCalls {
public:
    virtual ~IActivationCalls() = default;
    // AllowSetForegroundWindow: the system lets only the foreground process hand the
    // foreground on, and the running copy asks for it when the message arrives.
    virtual void AllowForeground(DWORD processId) = 0;
    // Asks every top-level window to handle the message; returns once all have (a
    // window that stopped answering is skipped after a while).
    virtual void Broadcast(UINT message) = 0;
};

// The running copy of this program file may take the foreground, then it is asked
// to come forward.
void ActivateRunningCopy(const std::wstring& programPath, IActivationCalls& calls);
void ActivateRunningCopy(const std::wstring& programPath);
