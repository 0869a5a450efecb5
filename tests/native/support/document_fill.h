#pragma once
// Writes a data file of pages x (columns x rows) items into the program folder of
// the installed system, each item filled by the caller: the documents that the
// benchmarks load.
#include <cstddef>
#include <functional>
#include <memory>

#include "model/document.h"
#include "model/item.h"
#include "model/page.h"

inline void WriteFilledDocument(int pages, int columns, int rows,
                                const std::function<void(TItem& item, size_t n)>& fill) {
    auto doc = std::make_unique<TDocument>();
    SetDocument(doc.get());
    doc->Init();
    doc->AutoSave = false;
    while ((int)doc->Pages.size() < pages)
        doc->InsertPage(-1);
    while ((int)doc->Pages.size() > pages)
        doc->DeletePage((int)doc->Pages.size() - 1);
    doc->SetPageSize(columns, rows);
    size_t n = 0;
    for (auto& page : doc->Pages)
        for (auto& item : page->Items())
            fill(*item, n++);
    doc->SaveIfNeeded(TSaveReason::Command);
    doc->NoSave = true;
    doc.reset();
    SetDocument(nullptr);
}
