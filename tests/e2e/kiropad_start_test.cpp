// Kiropad as a user starts it: from its own folder, with its files beside it.
#include <gtest/gtest.h>

#include "e2e_support.h"

using namespace e2e;

TEST(E2eProduct, ProgramsAreBuiltBesideEachOther) {
    EXPECT_TRUE(FileExists(ProductFolder() + L"Kiropad.exe"));
    EXPECT_TRUE(FileExists(ProductFolder() + L"Kirostart.exe"));
}
