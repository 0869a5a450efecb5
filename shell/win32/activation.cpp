#include "shell/win32/activation.h"

#include "shell/instance_names.h"

namespace {

class TSystemActivationCalls : public IActivationCalls {
public:
    void AllowForeground(DWORD processId) override { AllowSetForegroundWindow(processId); }
    void Broadcast(UINT message) override {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    }
};

} // namespace

void ActivateRunningCopy(const std::wstring& programPath, IActivationCalls& calls) {
    // Which process runs the first copy is not known here (only the mutex is shared),
    // so any process may take the foreground until the next input.
    calls.AllowForeground(ASFW_ANY);
    calls.Broadcast(RegisterWindowMessageW(BuildActivationMessageName(programPath).c_str()));
}

void ActivateRunningCopy(const std::wstring& programPath) {
    TSystemActivationCalls calls;
    ActivateRunningCopy(programPath, calls);
}
