// Kirostart's choice of what to start: the Kiropad.exe in the folder of its own
// program file, or nothing when that path cannot be formed whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quickstart/siblingpath.h"

namespace {

const wchar_t kName[] = L"Kiropad.exe";

// Runs the replacement on a buffer of `capacity` characters holding `modulePath`
// as the system would report it; `reported` overrides the reported length.
// Returns the resulting path, or "<none>" when nothing is to be started.
std::wstring Sibling(const std::wstring& modulePath, std::size_t capacity, long reported = -1) {
    std::vector<wchar_t> buffer(capacity, L'#');
    std::size_t length = modulePath.size() < capacity ? modulePath.size() : capacity;
    modulePath.copy(buffer.data(), length);
    if (length < capacity) buffer[length] = L'\0';
    if (reported >= 0) length = static_cast<std::size_t>(reported);
    if (!quickstart::ReplaceFileName(buffer.data(), length, capacity, kName)) return L"<none>";
    return std::wstring(buffer.data());
}

} // namespace

TEST(QuickstartPath, NamesKiropadInTheFolderOfItsOwnFile) {
    EXPECT_EQ(Sibling(L"C:\\Tools\\Kirostart.exe", 260), L"C:\\Tools\\Kiropad.exe");
    EXPECT_EQ(Sibling(L"C:\\Kirostart.exe", 260), L"C:\\Kiropad.exe");
    EXPECT_EQ(Sibling(L"\\\\server\\share\\app.v2\\Kirostart.exe", 260),
              L"\\\\server\\share\\app.v2\\Kiropad.exe");
    // A Japanese folder stays as it is: the path is never narrowed.
    EXPECT_EQ(Sibling(L"D:\\ツール\\起動\\Kirostart.exe", 260), L"D:\\ツール\\起動\\Kiropad.exe");
    // A longer own name leaves no trace of its tail.
    EXPECT_EQ(Sibling(L"C:\\x\\Kirostart-with-a-long-name.exe", 260), L"C:\\x\\Kiropad.exe");
}

TEST(QuickstartPath, StartsNothingWhenThePathCannotBeFormedWhole) {
    // The system reports nothing, or a path cut short by the buffer.
    EXPECT_EQ(Sibling(L"", 260), L"<none>");
    EXPECT_EQ(Sibling(L"C:\\Tools\\Kirostart.exe", 260, 0), L"<none>");
    const std::wstring deep = L"C:\\" + std::wstring(300, L'a') + L"\\Kirostart.exe";
    EXPECT_EQ(Sibling(deep, 260), L"<none>");
    // No folder part at all.
    EXPECT_EQ(Sibling(L"Kirostart.exe", 260), L"<none>");
}

TEST(QuickstartPath, AShortOwnNameNearTheLimitMustLeaveRoomForTheNewName) {
    // Folder part plus "Kiropad.exe" and its zero fill the 32 characters exactly.
    const std::wstring folder = L"C:\\" + std::wstring(16, L'f') + L"\\";
    ASSERT_EQ(folder.size() + 11 + 1, 32u);
    EXPECT_EQ(Sibling(folder + L"k.exe", 32), folder + L"Kiropad.exe");
    // One character more and the zero would fall outside the buffer.
    const std::wstring longer = L"C:\\" + std::wstring(17, L'f') + L"\\";
    EXPECT_EQ(Sibling(longer + L"k.exe", 32), L"<none>");
}
