// The whole document load on arbitrary bytes as the data file: parse, the
// document's reading of pages, items, options and view settings, the icon-slot
// bookkeeping, preparing the first page's faces, then a save that must load
// again to the same bytes. A failed load must leave a fresh, usable document.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

#include "mainwindow/itemface.h"
#include "mainwindow/layout.h"
#include "model/document.h"
#include "model/host.h"
#include "model/viewdata.h"
#include "support/fake_canvas.h"
#include "support/fake_system.h"
#include "platform/filestream.h"

namespace {

// The main window as the model sees it, with face sizes clamped as the window's
// layout clamps them (a data file may ask for items of 2,147,483,647 pixels).
class TClampedHost : public IMainHost {
public:
    TClampedHost() { SetMainHost(this); }
    ~TClampedHost() override { SetMainHost(nullptr); }
    platform::TWindowHandle WindowHandle() override { return 1; }
    TViewData& ViewData() override { return View; }
    void PaintItemFace(const TItem& item, platform::TPixmap& image) override {
        TDocument* doc = DocumentOrNull();
        int k = doc ? doc->PageWidth : 1, r = doc ? doc->PageHeight : 1;
        TFaceStyle style = FaceStyleOf(View, doc ? doc->IconList.get() : nullptr);
        style.ItemWidth = ClampItemSize(View.ItemWidth, k);
        style.ItemHeight = ClampItemSize(View.ItemHeight, r);
        image.Resize(style.ItemWidth - 4, style.ItemHeight - 4);
        TFakeCanvas canvas(image);
        DrawItemFace(style, item, canvas, false);
    }
    platform::TPoint PresentPosition() override { return platform::TPoint(); }
    TViewData View;
};

struct TEnv {
    TFakeSystem System;
    TClampedHost Host;
};

TEnv& Env() {
    static TEnv* env = new TEnv();
    return *env;
}

// A plain write: the fuzz loop needs no flush to the disk.
void WriteFile(const std::string& name, const uint8_t* data, size_t size) {
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), (std::streamsize)size);
}

std::vector<uint8_t> Serialise(TDocument& doc) {
    YBFS::TMemoryWriteStream out;
    doc.WriteTo(out);
    return out.Bytes();
}

// The same bytes read with every object parsed at once, as a read from memory
// does: it must fail where the load failed and otherwise give the same document
// (the load reads most pages only when they are first needed).
void CompareWithEagerRead(TEnv& env, const uint8_t* data, size_t size, bool loadFailed,
                          const std::vector<uint8_t>& loaded) {
    std::remove(env.System.PathOf("Kiropad.gbi").c_str());
    env.Host.View.Clear(false);
    auto doc = std::make_unique<TDocument>();
    SetDocument(doc.get());
    doc->Init(); // no file: a fresh document with its icon list
    doc->NoSave = true;
    bool failed = false;
    try {
        doc->ReadFrom(data, size);
    } catch (const Exception&) {
        failed = true;
    }
    if (failed != loadFailed) std::abort();
    if (!failed) {
        // What the start does after its load: the icon slots, then the caches.
        for (auto& page : doc->Pages)
            page->MarkIconsUsed(*doc->IconList);
        for (auto& item : doc->IndItems)
            doc->IconList->MarkUsed(item->ImageIndex);
        if (!doc->IconList->LoadCache()) doc->ForgetIcons();
        if (Serialise(*doc) != loaded) std::abort();
    }
    doc.reset();
    SetDocument(nullptr);
}

const long long kMaxRoundTripSlots = 1 << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TEnv& env = Env();
    std::string file = env.System.PathOf("Kiropad.gbi");
    WriteFile(file, data, size);
    env.System.Boxes.clear();
    env.Host.View.Clear(false);

    auto doc = std::make_unique<TDocument>();
    SetDocument(doc.get());
    doc->Init();
    bool loadFailed = !env.System.Boxes.empty();
    if (loadFailed) {
        // A file that failed is copied aside, whole, before anything may replace it.
        std::vector<std::string> copies = platform::UnreadableCopies(file);
        if (copies.size() != 1 || platform::ReadWholeFile(copies[0]) != std::vector<uint8_t>(data, data + size))
            std::abort();
        platform::RemoveFile(copies[0]);
    }
    if (!doc->Loaded()) std::abort();
    if (doc->Pages.empty()) std::abort(); // the window needs a page
    // A few bytes may name millions of empty slots (up to the document's bound); their
    // save would take gigabytes and seconds per input: only the load is checked then.
    long long slots = (long long)doc->Pages.size() * doc->PageWidth * doc->PageHeight;
    if (slots > kMaxRoundTripSlots) {
        doc->NoSave = true;
        doc.reset();
        SetDocument(nullptr);
        return 0;
    }
    // Saved before any icon is evaluated: without cache files both loads forget
    // every stored icon slot alike, so the two saves can be compared byte for byte.
    std::vector<uint8_t> first = Serialise(*doc);
    doc->PrepareIndIcons();
    // A few faces are enough to reach the painting with the loaded view settings.
    for (size_t i = 0; i < doc->Pages[0]->Items().size() && i < 3; ++i)
        doc->Pages[0]->Items()[i]->PrepareIcon();
    doc->NoSave = true;
    doc.reset();
    SetDocument(nullptr);
    CompareWithEagerRead(env, data, size, loadFailed, first);

    // What was saved loads again, and saves to the same bytes.
    WriteFile(file, first.data(), first.size());
    env.Host.View.Clear(false);
    env.System.Boxes.clear();
    auto again = std::make_unique<TDocument>();
    SetDocument(again.get());
    again->Init();
    if (!env.System.Boxes.empty()) std::abort(); // our own file failed to load
    std::vector<uint8_t> second = Serialise(*again);
    again->NoSave = true;
    again.reset();
    SetDocument(nullptr);
    if (first != second) std::abort();
    return 0;
}
