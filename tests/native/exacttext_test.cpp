// Texts that code page 932 cannot hold: kept whole in the program, stored as the
// code page rendering plus the exact text, and never overriding a change made by a
// program that knows only the code page fields.
#include <gtest/gtest.h>

#include "shell/common.h"
#include "support/model_env.h"

namespace {

// Latin accents, Korean, an emoji outside the basic plane, and all of them mixed
// with Japanese.
const wchar_t* const kSamples[] = {L"C:\\Données\\Résumé.docx", L"D:\\한국어\\문서.txt", L"E:\\\U0001F600.txt",
                                   L"F:\\資料 Café 한 \U0001F680\\ツール.exe"};

std::string Text(const wchar_t* wide) {
    return platform::FromWide(wide);
}

// A reader of the bare format: the item's code page texts and nothing else.
class TBareItem : public YBFS::TYBObject {
public:
    void ReadMembers() override {
        for (int i = 0; i < 8; ++i)
            Read(kIds[i], Texts[i]);
    }
    void WriteMembers() override {
        for (int i = 0; i < 8; ++i)
            Write(kIds[i], Texts[i]);
    }
    static constexpr YBFS::TId kIds[8] = {0, 1, 2, 3, 12, 4, 5, 6};
    std::string Texts[8];
};

std::string* TextsOf(TItem& item, int i) {
    std::string* texts[8] = {&item.Name, &item.Path, &item.IFol, &item.Arg,
                             &item.Comment, &item.LFol, &item.LHelp, &item.Icon};
    return texts[i];
}

} // namespace

TEST(ExactText, AnyTextSurvivesTheProgramsTextAndUtf8) {
    for (const wchar_t* sample : kSamples) {
        std::string text = Text(sample);
        EXPECT_TRUE(platform::HasEscapes(text));
        EXPECT_EQ(platform::Widen(text), std::wstring(sample));
        std::string back;
        ASSERT_TRUE(platform::FromUtf8(platform::ToUtf8(text), back));
        EXPECT_EQ(back, text);
        std::string rendering = platform::CodePageRendering(text);
        EXPECT_FALSE(platform::HasEscapes(rendering));
        std::string strict;
        EXPECT_TRUE(platform::Narrow(platform::Widen(rendering), strict)) << "the rendering is code page 932";
    }
    const std::string mixed = Text(L"資料 Café");
    EXPECT_EQ(platform::CodePageRendering(mixed), "資料 Caf?");
    EXPECT_EQ(platform::ToUtf8(Text(L"\U0001F600")), "\xF0\x9F\x98\x80");
    std::string out;
    EXPECT_FALSE(platform::FromUtf8("\xC0\xAF", out)) << "an overlong form is no UTF-8";
    EXPECT_FALSE(platform::FromUtf8("a\x80", out));
    // Text that code page 932 holds is its bytes, as before.
    EXPECT_EQ(Text(L"ツール\\a.exe"), "ツール\\a.exe");
    EXPECT_FALSE(platform::HasEscapes("ツール\\a.exe"));
}

TEST(ExactText, AnEscapedCharacterIsNeverCutOrTakenForASeparator) {
    std::string text = Text(L"a\U0001F600\\b");
    ASSERT_EQ(text.size(), 1 + platform::kEscapeBytes + 2);
    EXPECT_EQ(MbcsByteType(text, 2), TByteType::Lead);
    TMbcsState state;
    for (int p = 3; p <= 9; ++p)
        EXPECT_EQ(MbcsByteType(text, p, &state), TByteType::Trail) << p;
    EXPECT_EQ(MbcsByteType(text, 10, &state), TByteType::Single);
    EXPECT_EQ(FileNamePart(text), "b");
    const std::string korean = Text(L"C:\\한국어\\a.exe"), folder = Text(L"C:\\한국어");
    EXPECT_EQ(DirectoryPart(korean), folder);
}

TEST(ExactText, EveryItemFieldRoundTripsAndTheCodePageFieldsHoldTheRendering) {
    TModelEnv env;
    env.Start();
    for (const wchar_t* sample : kSamples) {
        TItem item(false);
        for (int i = 0; i < 8; ++i)
            *TextsOf(item, i) = Text(sample) + std::to_string(i);
        std::vector<uint8_t> bytes = Serialise(item);
        TItem back(false);
        Parse(back, bytes);
        TBareItem bare;
        Parse(bare, bytes);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(*TextsOf(back, i), *TextsOf(item, i)) << i;
            EXPECT_EQ(bare.Texts[i], platform::CodePageRendering(*TextsOf(item, i))) << i;
        }
        EXPECT_EQ(Serialise(back), bytes) << "written again as it was read";
    }
    // An item whose texts code page 932 holds writes no extra field.
    TItem plain(false);
    plain.Name = "ツール";
    EXPECT_EQ(Serialise(plain), ItemBody("ツール").Bytes());
}

TEST(ExactText, AChangeByAProgramThatKnowsOnlyTheCodePageFieldsWins) {
    TModelEnv env;
    env.Start();
    const std::string cafe = Text(L"Café");
    TItem item(false);
    item.Name = cafe;
    item.Path = Text(L"C:\\Café\\한국어.exe");
    TBareItem bare;
    Parse(bare, Serialise(item));
    bare.Texts[1] = "C:\\new\\tool.exe"; // the path changed there; the title not
    std::vector<uint8_t> changed = Serialise(bare);
    TItem back(false);
    Parse(back, changed);
    EXPECT_EQ(back.Path, "C:\\new\\tool.exe");
    EXPECT_EQ(back.Name, cafe) << "the unchanged title keeps its exact form";
    // The stale exact path is not written again.
    TBareItem again;
    Parse(again, Serialise(back));
    TItem last(false);
    Parse(last, Serialise(again));
    EXPECT_EQ(last.Path, "C:\\new\\tool.exe");
    EXPECT_EQ(last.Name, cafe);
}

TEST(ExactText, PageNamesAndPageItemsComeBackExactFromTheDataFile) {
    TModelEnv env;
    const std::string page = Text(L"페이지 \U0001F600"), path = Text(L"C:\\Résumé.docx"), name = Text(L"Résumé");
    TDocument& d = env.Start();
    d.Pages[0]->Name = page;
    d.Pages[1]->Item(4).Path = path;
    d.Pages[1]->Item(4).Name = name;
    env.Stop();
    TDocument& e = env.Start();
    EXPECT_EQ(e.Pages[0]->Name, page) << "before the page is built";
    EXPECT_EQ(e.Pages[1]->Item(4).Path, path);
    EXPECT_EQ(e.Pages[1]->Item(4).Name, name);
    std::vector<uint8_t> saved = env.ReadDataFile();
    env.Stop();
    EXPECT_EQ(env.ReadDataFile(), saved) << "read and written again byte for byte";
}
