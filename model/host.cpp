#include "model/host.h"

#include <cstdlib>

namespace {
IMainHost* g_host = nullptr;
TDocument* g_document = nullptr;
} // namespace

IMainHost* MainHost() {
    return g_host;
}
void SetMainHost(IMainHost* host) {
    g_host = host;
}

TDocument* DocumentOrNull() {
    return g_document;
}

TDocument& Document() {
    if (!g_document) std::abort();
    return *g_document;
}

void SetDocument(TDocument* document) {
    g_document = document;
}

TViewData& ViewData() {
    if (!g_host) std::abort();
    return g_host->ViewData();
}
