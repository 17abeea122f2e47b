#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "app/settings/Settings.h"

namespace {

std::string TestKey()
{
    return "Software\\Velantix\\QuellmorSettingsTest" + std::to_string(GetCurrentProcessId());
}

TEST(SettingsRegistry, NumbersTextsSectionsAndDefaults)
{
    std::string key = TestKey();
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    C_Settings s;
    ASSERT_EQ(s.Open(C_Settings::kRegistry, HKEY_CURRENT_USER, key.c_str()), 1);

    EXPECT_EQ(s.ReadNumber("Flags", 0x9018), 0x9018u) << "missing key gives the default";
    std::string text = "stale";
    EXPECT_EQ(s.ReadText("TestFile", text, "dflt"), 0);
    EXPECT_EQ(text, "dflt");
    EXPECT_EQ(s.ReadText("TestFile", text), 0);
    EXPECT_EQ(text, "");

    ASSERT_EQ(s.WriteNumber("Flags", 0x225F1F9), 1);
    ASSERT_EQ(s.WriteText("TestFile", "C:\\x.bin"), 1);
    ASSERT_EQ(s.WriteNumber("SomeDrive 1 2", 1, "Write"), 1);
    EXPECT_EQ(s.ReadNumber("Flags", 7), 0x225F1F9u);
    EXPECT_EQ(s.ReadText("TestFile", text), 1);
    EXPECT_EQ(text, "C:\\x.bin");
    EXPECT_EQ(s.ReadNumber("SomeDrive 1 2", 0, "Write"), 1u);
    EXPECT_EQ(s.ReadNumber("SomeDrive 1 2", 5), 5u) << "sections are subkeys";

    // Stored as the registry types the other tools of the system expect.
    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    RegQueryValueExA(k, "Flags", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, (DWORD)REG_DWORD);
    RegQueryValueExA(k, "TestFile", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(size, 9u) << "the terminating zero is stored";
    RegCloseKey(k);

    ASSERT_EQ(s.WriteText("Four", "abc"), 1);
    EXPECT_EQ(s.ReadNumber("Four", 9), 9u) << "a four-byte text is not read as a number";

    // A text longer than the first buffer grows it and reads whole.
    std::string longText(3000, 'q');
    ASSERT_EQ(s.WriteText("TestFile", longText.c_str()), 1);
    EXPECT_EQ(s.ReadText("TestFile", text), 1);
    EXPECT_EQ(text, longText);

    s.Close();
    EXPECT_EQ(s.ReadNumber("Flags", 3), 3u) << "a closed store only gives defaults";
    EXPECT_EQ(s.WriteNumber("Flags", 1), 0);
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
}

TEST(SettingsIni, SectionsNumbersAndLongTexts)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string ini = std::string(temp) + "QuellmorSettingsTest.ini";
    DeleteFileA(ini.c_str());
    HKEY before;
    bool keyBefore =
        RegOpenKeyExA(HKEY_CURRENT_USER, TestKey().c_str(), 0, KEY_READ, &before) == ERROR_SUCCESS;
    if (keyBefore)
        RegCloseKey(before);

    C_Settings s;
    ASSERT_EQ(s.Open(C_Settings::kIniFile, HKEY_CURRENT_USER, TestKey().c_str(), ini.c_str()), 1);
    EXPECT_EQ(s.GetIniPath(), ini);
    EXPECT_EQ(s.ReadNumber("Flags", 0x9018), 0x9018u);
    std::string text;
    EXPECT_EQ(s.ReadText("TestFile", text, "dflt"), 1) << ".ini reads always succeed";
    EXPECT_EQ(text, "dflt");

    ASSERT_EQ(s.WriteNumber("Flags", 0xFFFFFFFF), 1);
    ASSERT_EQ(s.WriteText("BlockSize", "65536"), 1);
    ASSERT_EQ(s.WriteNumber("dev", 1, "Write"), 1);
    char raw[64] = "";
    GetPrivateProfileStringA("Settings", "Flags", "", raw, sizeof(raw), ini.c_str());
    EXPECT_STREQ(raw, "4294967295") << "numbers are written as unsigned decimal text";
    EXPECT_EQ(s.ReadNumber("Flags", 0), 0xFFFFFFFFu);
    EXPECT_EQ(s.ReadNumber("dev", 0, "Write"), 1u);
    EXPECT_EQ(s.ReadNumber("dev", 9), 9u);

    WritePrivateProfileStringA("Settings", "Bad", "abc", ini.c_str());
    EXPECT_EQ(s.ReadNumber("Bad", 77), 77u) << "a text that is no number gives the default";
    WritePrivateProfileStringA("Settings", "Wide", "8589934593", ini.c_str());
    EXPECT_EQ(s.ReadNumber("Wide", 0), 1u) << "the low 32 bits of a larger number";

    // 255 characters fill the first buffer exactly; 1000 need the doubling.
    for (size_t length : {254u, 255u, 256u, 1000u, 5000u}) {
        std::string longText(length, 'w');
        ASSERT_EQ(s.WriteText("TestFile", longText.c_str()), 1);
        EXPECT_EQ(s.ReadText("TestFile", text), 1);
        EXPECT_EQ(text.size(), length);
    }
    s.Close();
    HKEY after;
    bool keyAfter = RegOpenKeyExA(HKEY_CURRENT_USER, TestKey().c_str(), 0, KEY_READ, &after) == ERROR_SUCCESS;
    if (keyAfter)
        RegCloseKey(after);
    EXPECT_EQ(keyAfter, keyBefore) << "the .ini mode touched the registry";
    DeleteFileA(ini.c_str());
}

TEST(SettingsIni, DefaultPathIsBesideTheProgram)
{
    C_Settings s;
    s.Open(C_Settings::kIniFile, HKEY_CURRENT_USER, "x");
    std::string program = GetProgramPath();
    std::string expected = program.substr(0, program.rfind('.')) + ".ini";
    EXPECT_EQ(s.GetIniPath(), expected);
}

} // namespace
