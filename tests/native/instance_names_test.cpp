#include <gtest/gtest.h>

#include "shell/instance_names.h"

TEST(InstanceNames, MutexNameIsUpperCasedWithSlashes) {
    EXPECT_EQ(BuildInstanceMutexName(L"C:\\Tools\\Kiropad.exe"), L"C:/TOOLS/KIROPAD.EXE");
    // Paths differing only in letter case meet; other folders do not.
    EXPECT_EQ(BuildInstanceMutexName(L"c:\\tools\\kiropad.EXE"), BuildInstanceMutexName(L"C:\\Tools\\Kiropad.exe"));
    EXPECT_NE(BuildInstanceMutexName(L"C:\\Other\\Kiropad.exe"), BuildInstanceMutexName(L"C:\\Tools\\Kiropad.exe"));
    // Japanese folder names pass unchanged.
    EXPECT_EQ(BuildInstanceMutexName(L"D:\\\x30C4\x30FC\x30EB\\k.exe"), L"D:/\x30C4\x30FC\x30EB/K.EXE");
}

TEST(InstanceNames, ActivationMessageNameKeepsBackslashes) {
    EXPECT_EQ(BuildActivationMessageName(L"C:\\Tools\\Kiropad.exe"), L"YORVEL_KIROPAD_CALL@C:\\TOOLS\\KIROPAD.EXE");
    EXPECT_EQ(BuildActivationMessageName(L""), L"YORVEL_KIROPAD_CALL@");
}
