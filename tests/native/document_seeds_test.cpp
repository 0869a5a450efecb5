// Documents made by the program itself, kept as the seed corpus of the document
// fuzz target: they must keep loading without a message and save to the same
// bytes. With KIROPAD_WRITE_SEEDS set to a folder, the test writes them anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "support/model_env.h"
#include "platform/filestream.h"

#ifndef KIROPAD_SEEDS
#define KIROPAD_SEEDS "tests/fuzz/seeds/document"
#endif

namespace {

std::vector<uint8_t> MakeSeed(int kind) {
    TModelEnv env;
    TDocument& doc = env.Start();
    switch (kind) {
    case 0: // first start
        break;
    case 1: { // items, an independent item, options
        doc.Pages[0]->Name = "ツール";
        TItem& a = *doc.Pages[0]->Items()[0];
        a.Path = "C:\\Windows\\notepad.exe";
        a.Name = "メモ帳";
        a.Arg = "/a";
        a.IFol = "C:\\Windows";
        a.ExeAnd = 2;
        a.WindowState = 2;
        TItem& b = *doc.Pages[1]->Items()[14];
        b.Path = "D:\\";
        b.Name = "D:\\";
        b.Icon = "C:\\Windows\\system32\\shell32.dll";
        b.IconN = 4;
        doc.SetIndItemCount(3);
        doc.IndItems[1]->Path = "C:\\doc\\memo.txt";
        doc.IndItems[1]->Comment = "めも";
        doc.NoEdit = true;
        doc.EditPassword = "pass";
        doc.PreventDblExe = true;
        doc.ExeAnd = 0;
        break;
    }
    case 2: // another grid, fewer pages, changed view settings
        doc.SetPageSize(7, 2);
        doc.DeletePage(9);
        doc.DeletePage(8);
        env.Host.View.Title = "ランチャー";
        env.Host.View.ItemWidth = 100;
        env.Host.View.Tray = true;
        env.Host.View.StartPos = 3;
        env.Host.View.Left = 120;
        env.Host.View.Top = 80;
        env.Host.View.Font->Size = 11;
        env.Host.View.Font->Style = 1;
        break;
    case 3: // small: one page of one item, so that the fuzz target runs fast
        doc.SetPageSize(1, 1);
        while (doc.Pages.size() > 1)
            doc.DeletePage((int)doc.Pages.size() - 1);
        doc.Pages[0]->Items()[0]->Path = "C:\\Windows\\notepad.exe";
        doc.Pages[0]->Items()[0]->Name = "メモ帳";
        doc.Pages[0]->Items()[0]->IconN = 1;
        doc.SetIndItemCount(1);
        doc.IndItems[0]->Path = "D:\\";
        env.Host.View.ItemWidth = 40;
        env.Host.View.ItemHeight = 40;
        break;
    case 4: // small: two pages of 2 x 1, the lock, other view settings
        doc.SetPageSize(2, 1);
        while (doc.Pages.size() > 2)
            doc.DeletePage((int)doc.Pages.size() - 1);
        doc.Pages[1]->Name = "二";
        doc.Pages[1]->Items()[1]->Path = "C:\\doc\\memo.txt";
        doc.Pages[1]->Items()[1]->Comment = "めも";
        doc.Pages[1]->Items()[1]->WindowState = 1;
        doc.NoEdit = true;
        doc.EditPassword = "pw";
        doc.ShowInd = false;
        doc.AutoSave = false;
        env.Host.View.Title = "小";
        env.Host.View.PageBtnWidth = 60;
        env.Host.View.Font->Style = 3;
        break;
    }
    doc.SaveIfNeeded(TSaveReason::Command);
    std::vector<uint8_t> bytes = env.ReadDataFile();
    env.Doc->NoSave = true;
    return bytes;
}

std::vector<uint8_t> ReadFile(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

} // namespace

TEST(DocumentSeeds, DocumentsMadeByTheProgramLoadAndSaveUnchanged) {
    const char* out = std::getenv("KIROPAD_WRITE_SEEDS");
    for (int kind = 0; kind < 5; ++kind) {
        std::vector<uint8_t> made = MakeSeed(kind);
        std::string name =
            std::string(out ? out : KIROPAD_SEEDS) + "/program-" + std::to_string(kind) + ".gbi";
        if (out) {
            std::ofstream f(name, std::ios::binary);
            f.write(reinterpret_cast<const char*>(made.data()), (std::streamsize)made.size());
            continue;
        }
        std::vector<uint8_t> seed = ReadFile(name);
        ASSERT_FALSE(seed.empty()) << name;
        EXPECT_EQ(seed, made) << "the program now writes " << name << " differently";
        TModelEnv env;
        env.WriteDataFile(seed);
        TDocument& doc = env.Start();
        EXPECT_TRUE(env.System.Boxes.empty());
        doc.SaveIfNeeded(TSaveReason::Command);
        EXPECT_EQ(env.ReadDataFile(), seed);
        env.Doc->NoSave = true;
    }
}
