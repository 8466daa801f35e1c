// The settings store: what a file reads as, the values read, and saves whole or not at all.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "IniFiles.h"
#include "TestFiles.h"

using SectionMap = std::map<std::string, std::map<std::string, std::string>>;

TEST(IniFileReading, LinesAreFiledUnderTheirSectionAsWritten) {
    const std::pair<std::string, SectionMap> cases[] = {
        {"a=1\n[S]\nk=v=w\n k = 1 \n", {{"S", {{"k", "v=w"}, {" k ", " 1 "}}}}},
        {"[S]\r\nk=1\r\n\r\n[S]\r\nk=2\r\n", {{"S", {{"k", "2"}}}}},
        {"[A]\n[\n]\n[S] \nk=1\n[]\nm=1\n[B]\nj=2\n", {{"A", {{"k", "1"}}}, {"B", {{"j", "2"}}}}},
        {"[S]\nk=\n=v\n;c=1\n#d=2\nno equals\n",
         {{"S", {{"k", ""}, {"", "v"}, {";c", "1"}, {"#d", "2"}}}}},
        {"\r\n\n[S]\rk=1\n\r\r\nj=2", {{"S", {{"k", "1"}, {"j", "2"}}}}},
        {"[Empty]\n\n[a]b]\nk=1\n", {{"a]b", {{"k", "1"}}}}},
        {"", {}},
    };
    TempDir dir;
    IniFileClass ini;
    for (const auto& [text, expected] : cases) {
        WriteFile(dir.File("Quorvel.ini"), text);
        ini.ReadIniFile(dir.File("Quorvel.ini"));  // each read starts from an empty store
        EXPECT_EQ(ini.Sections, expected) << "file text: " << text;
    }
}

// Integers read like atoi, clamped; an empty value is 0, only a missing key gives the default.
TEST(IniFileValues, IntegersReadLikeAtoiClampedToThirtyTwoBits) {
    constexpr std::int32_t kMax = INT32_MAX, kMin = INT32_MIN;
    // clang-format off
    const std::pair<const char*, std::int32_t> cases[] = {
        {" 1 ", 1}, {"12px", 12}, {"abc", 0}, {"\t\n-5", -5}, {"+7", 7}, {"- 5", 0},
        {"2147483647", kMax}, {"2147483648", kMax}, {"-2147483648", kMin}, {"-2147483649", kMin},
        {"99999999999999999999999999", kMax}, {"-00000000000000000000000042", -42}, {"", 0},
    };
    // clang-format on
    IniFileClass ini;
    for (const auto& [value, expected] : cases) {
        ini.WriteString("S", "k", value);
        EXPECT_EQ(ini.ReadInteger("S", "k", 99), expected) << "value: " << value;
    }
    EXPECT_EQ(ini.ReadFloat("S", "k", 7.5), 0.0);
    EXPECT_EQ(ini.ReadString("S", "k", "def"), "");
    EXPECT_EQ(ini.ReadInteger("S", "other", -3), -3);
    EXPECT_EQ(ini.ReadString("Missing", "k", "def"), "def");
    EXPECT_EQ(ini.Sections.size(), 1u);  // reading creates nothing
}

// Unknown keys survive; sections and keys are written in byte order, numbers in fixed formats,
// and NUL bytes in a section, a key or a value are kept.
TEST(IniFileSaving, WhatWasReadIsWrittenBackInByteOrderWithTheNewValues) {
    TempDir dir;
    const std::string path = dir.File("Quorvel.ini");
    WriteFile(path, ReadFile(TestDataPath("ini-sample.ini")));
    IniFileClass ini;
    ini.ReadIniFile(path);
    ini.WriteInteger("Window", "Left", INT32_MIN);
    ini.WriteFloat("Misc", "Half", 0.5);
    ini.WriteFloat("Misc", "Negative", -1234.5678901);
    ini.WriteString("a", "z", "1");
    ini.WriteString("a", "\xc3\xa9", "2");
    ini.WriteString("a", "Z", "3");
    ini.WriteString("Z", "k", "4");
    ASSERT_TRUE(ini.SaveIniFile());
    EXPECT_EQ(
        ReadFile(path),
        "[Misc]\nAutoSaveBestRun=Y\nBestSplitMinElapsedSec=2\nHalf=0.500000\n"
        "Negative=-1234.567890\n\n[Plugins]\nTheme=dark = true\n\n[Window]\nHideBestSplits=y\n"
        "Left=-2147483648\nTop=45\n\n[Z]\nk=4\n\n[a]\nZ=3\nz=1\n\xc3\xa9=2\n\n");

    const std::string nul("[Misc]\nAutoSaveBestRun=Y\0junk\n\n[W\0x]\nk\0ey=v\0\0\n\n", 47);
    WriteFile(path, nul);
    ini.ReadIniFile(path);
    ASSERT_TRUE(ini.SaveIniFile());
    EXPECT_EQ(ReadFile(path), nul);
}

// A file missing or a folder at read leaves an empty store with no name, so nothing is written.
TEST(IniFileSaving, NothingIsWrittenWithoutAFileAtReadIntoAFolderOrPastTheSizeLimit) {
    TempDir dir;
    IniFileClass ini;
    for (const std::string& path : {dir.File("Quorvel.ini"), dir.Path(), dir.File("no/x.ini")}) {
        ini.WriteString("Stale", "k", "1");
        ini.ReadIniFile(path);
        EXPECT_TRUE(ini.Sections.empty() && ini.IniFileName.empty()) << path;
        ini.WriteString("Misc", "Key", "v");
        EXPECT_FALSE(ini.SaveIniFile());
        ini.IniFileName = path == dir.File("Quorvel.ini") ? "" : path;
        EXPECT_FALSE(ini.SaveIniFile()) << path;
    }
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
    ini.IniFileName = dir.File("Quorvel.ini");
    WriteFile(ini.IniFileName, "[Misc]\nKey=old\n\n");
    ini.WriteString("Misc", "Key", std::string(100000, 'n'));
    {
        const FileSizeLimit limit(1024);
        EXPECT_FALSE(ini.SaveIniFile());
    }
    EXPECT_EQ(ReadFile(ini.IniFileName), "[Misc]\nKey=old\n\n");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Quorvel.ini"});
}
