#include "platform/appcontext.h"

#include <cstdlib>

#include "platform/exception.h"
#include "platform/system.h"

namespace {
IAppContext* g_appContext = nullptr;
}

void SetAppContext(IAppContext* context) {
    g_appContext = context;
}

IAppContext* AppContext() {
    return g_appContext;
}

std::string AppTitle() {
    return g_appContext ? g_appContext->Title() : std::string();
}

int MsgBox(const std::string& text, const std::string& caption, unsigned flags) {
    return platform::System().MessageBox(text, caption, flags);
}

void ShowException(const std::string& message) {
    MsgBox(message, AppTitle(), platform::mbOk | platform::mbIconError);
}

void FatalExceptionHandler(void*, const std::exception& error) {
    ShowException(ExceptionMessage(error));
    std::exit(1);
}
