// Code page 932 text as the system layer converts it on the host.
#include <gtest/gtest.h>

#include "platform/text.h"

TEST(Text, WidensAsciiJapaneseAndStrayBytesAndNarrowsBack) {
    // The yen-sign byte is a backslash in code page 932, and the tilde stays a tilde.
    EXPECT_EQ(std::wstring(L"C:\\Tools\\a~b.exe"), platform::Widen("C:\\Tools\\a~b.exe"));
    const std::string japanese = "\x83\x5C\x81\x5B\x83\x8B\\x"; // ソール\x: 0x5C as a trail byte first
    EXPECT_EQ(std::wstring(L"\u30BD\u30FC\u30EB\\x"), platform::Widen(japanese));
    std::string back;
    ASSERT_TRUE(platform::Narrow(platform::Widen(japanese), back));
    EXPECT_EQ(japanese, back);
    // A lead byte with nothing after it cannot stop the rest: it becomes one replacement.
    EXPECT_EQ(std::wstring(L"ab\uFFFD"), platform::Widen("ab\x83"));
    EXPECT_EQ(std::string("C:/\xE3\x83\x84"), platform::Cp932ToUtf8("C:/\x83\x63"));
}
