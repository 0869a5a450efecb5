#include "platform/system.h"

#include <cstdlib>

namespace platform {

namespace {
ISystem* g_system = nullptr;
}

ISystem& System() {
    if (!g_system) std::abort(); // installed by the program's entry point or the test's set-up
    return *g_system;
}

ISystem* SetSystem(ISystem* system) {
    ISystem* previous = g_system;
    g_system = system;
    return previous;
}

} // namespace platform
