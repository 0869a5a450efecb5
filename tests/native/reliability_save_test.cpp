// Saving under faults: a write that stops at every byte position of a small
// document must leave the previous data file whole, show the save box, leave no
// temporary file behind, and a Retry after the fault is gone must save.
#include <gtest/gtest.h>

#include "support/model_env.h"
#include "platform/filestream.h"
#include "ybfs/stream.h"
#include "ybfs/ybfs2.h"

namespace {

// A document of one page of one item, so that every byte can be tried quickly.
TDocument& SmallDocument(TModelEnv& env) {
    TDocument& doc = env.Start();
    doc.SetPageSize(1, 1);
    while (doc.Pages.size() > 1)
        doc.DeletePage((int)doc.Pages.size() - 1);
    doc.Pages[0]->Items()[0]->Path = "C:\\Windows\\notepad.exe";
    doc.Pages[0]->Items()[0]->Name = "メモ帳";
    return doc;
}

struct TFaultOff {
    ~TFaultOff() { platform::SetWriteFaultForTesting(-1); }
};

} // namespace

TEST(ReliabilitySave, AFaultAtEveryBytePositionKeepsThePreviousFileWhole) {
    TModelEnv env;
    TFaultOff off;
    TDocument& doc = SmallDocument(env);
    doc.SaveIfNeeded(TSaveReason::Command);
    const std::vector<uint8_t> previous = env.ReadDataFile();
    const std::string temp = platform::TemporaryFileFor(env.DataFile());

    doc.Pages[0]->Name = "変更後のページ名";
    YBFS::TMemoryWriteStream sizing;
    doc.WriteTo(sizing);
    const size_t size = sizing.Bytes().size();
    ASSERT_GT(size, previous.size() / 2);

    // Cancel: the save box each time, the old file untouched, no temporary file.
    for (size_t n = 0; n < size; ++n) {
        env.System.Boxes.clear();
        platform::SetWriteFaultForTesting((long long)n);
        doc.SaveIfNeeded(TSaveReason::Command);
        ASSERT_EQ(env.System.Boxes.size(), 1u) << "fault after " << n << " bytes";
        ASSERT_NE(env.System.Boxes[0].Text.find("セーブ中にエラー"), std::string::npos);
        ASSERT_EQ(env.System.Boxes[0].Flags & 0xF, platform::mbRetryCancel);
        ASSERT_EQ(env.ReadDataFile(), previous) << "fault after " << n << " bytes";
        ASSERT_FALSE(platform::FileExists(temp)) << "fault after " << n << " bytes";
    }
    // Memory keeps the change that could not be saved.
    EXPECT_EQ(doc.Pages[0]->Name, "変更後のページ名");

    // Retry once the fault is gone (the disk was freed while the box was up).
    for (int kind = 0; kind < 3; ++kind) {
        doc.Pages[0]->Name = "再試行" + std::to_string(kind);
        YBFS::TMemoryWriteStream sized;
        doc.WriteTo(sized);
        const size_t n = kind == 0 ? 0 : kind == 1 ? sized.Bytes().size() / 2 : sized.Bytes().size() - 1;
        int boxes = 0;
        env.System.OnBox = [&](const std::string&, const std::string&, unsigned) {
            ++boxes;
            platform::SetWriteFaultForTesting(-1);
            return platform::idRetry;
        };
        platform::SetWriteFaultForTesting((long long)n);
        doc.SaveIfNeeded(TSaveReason::Command);
        EXPECT_EQ(boxes, 1) << n;
        EXPECT_FALSE(platform::FileExists(temp));
        YBFS::TMemoryWriteStream now;
        doc.WriteTo(now);
        EXPECT_EQ(env.ReadDataFile(), now.Bytes())
            << "the retried save wrote the document, fault after " << n;
    }
    doc.NoSave = true;
}

TEST(ReliabilitySave, AFaultWhileSavingOnExitKeepsThePreviousFileAndTheExitGoesOn) {
    TModelEnv env;
    TFaultOff off;
    TDocument& doc = SmallDocument(env);
    doc.SaveIfNeeded(TSaveReason::Command);
    const std::vector<uint8_t> previous = env.ReadDataFile();
    doc.Pages[0]->Name = "終了時";
    env.System.Boxes.clear();
    platform::SetWriteFaultForTesting(7);
    env.Stop(); // the destructor saves as exit does and must not throw
    EXPECT_EQ(env.System.Boxes.size(), 1u);
    EXPECT_EQ(env.ReadDataFile(), previous);
    EXPECT_FALSE(platform::FileExists(platform::TemporaryFileFor(env.DataFile())));
}
