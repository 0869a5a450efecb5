#pragma once
// A running model for native tests: the fake system and main window installed,
// and a document made the program-wide one. Stop() destroys the document, which
// saves as the program does on exit.
#include <memory>
#include <string>
#include <vector>

#include "model/document.h"
#include "model/host.h"
#include "support/fake_host.h"
#include "support/fake_system.h"
#include "support/ybfs_bytes.h"

class TModelEnv {
public:
    ~TModelEnv() { Stop(); }

    // Creates the document and runs Init (loading whatever the data file holds).
    TDocument& Start() {
        Doc = std::make_unique<TDocument>();
        SetDocument(Doc.get());
        Doc->Init();
        return *Doc;
    }
    void Stop() {
        Doc.reset();
        SetDocument(nullptr);
    }

    std::string DataFile() const { return System.PathOf("Kiropad.gbi"); }
    void WriteDataFile(const std::vector<uint8_t>& bytes) const;
    bool DataFileExists() const;
    std::vector<uint8_t> ReadDataFile() const;

    TFakeSystem System;
    TFakeHost Host;
    std::unique_ptr<TDocument> Doc;
};

// The body of an item with only a title, a path and a slot, as the program writes it.
TBody ItemBody(const std::string& name = "", const std::string& path = "", int imageIndex = -2);
// The body of a new page of width x height empty items.
TBody NewPageBody(int width, int height, const std::string& name = "無題");
// The default view settings.
TBody DefaultViewBody();
// The options and the tail of a document body after the pages and independent items.
TBody DefaultTailBody(int slotCount = 10, int exeAnd = 1);
// The whole file of a first start (with another default after-launch action).
std::vector<uint8_t> FirstStartFile(int exeAnd = 1);
