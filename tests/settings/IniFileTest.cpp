#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "IniFiles.h"
#include "TestFiles.h"

namespace {

using SectionMap = std::map<std::string, std::map<std::string, std::string>>;

// Reads text as a settings file and returns what the store holds.
SectionMap ParseSettings(const std::string& text) {
    TempDir dir;
    WriteFile(dir.File("Quorvel.ini"), text);
    IniFileClass ini;
    ini.ReadIniFile(dir.File("Quorvel.ini"));
    return ini.Sections;
}

// Saves a store holding only section/key = value as path, and returns whether it was written.
bool SaveOneValue(const std::string& path, const std::string& value) {
    IniFileClass ini;
    ini.IniFileName = path;
    ini.WriteString("Misc", "Key", value);
    return ini.SaveIniFile();
}

}  // namespace

// ---- Reading ----

TEST(IniFileReading, LinesAreFiledUnderTheirSectionAsWritten) {
    const struct {
        std::string text;
        SectionMap expected;
    } cases[] = {
        {"a=1\n[S]\nk=v=w\n", {{"S", {{"k", "v=w"}}}}},
        {"[S]\n k = 1 \n", {{"S", {{" k ", " 1 "}}}}},
        {"[S]\r\nk=1\r\n\r\n[S]\r\nk=2\r\n", {{"S", {{"k", "2"}}}}},
        {"[A]\n[\n]\n[S] \nk=1\n", {{"A", {{"k", "1"}}}}},
        {"[A]\n[]\nk=1\n[B]\nj=2\n", {{"B", {{"j", "2"}}}}},
        {"[S]\nk=\n=v\n", {{"S", {{"k", ""}, {"", "v"}}}}},
        {"[S]\n;c=1\n#d=2\nno equals\n", {{"S", {{";c", "1"}, {"#d", "2"}}}}},
        {"[S]\rk=1\rj=2", {{"S", {{"k", "1"}, {"j", "2"}}}}},
        {"[a]b]\nk=1\n", {{"a]b", {{"k", "1"}}}}},
        {std::string("[S]\nk=a\0b\xff\n", 10), {{"S", {{"k", std::string("a\0b\xff", 4)}}}}},
        {"[Empty]\n\n[S]\nk=1\n", {{"S", {{"k", "1"}}}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSettings(c.text), c.expected) << "file text: " << c.text;
    }
}

TEST(IniFileReading, LinesAreCutAtEveryRunOfLineEnds) {
    const struct {
        std::string text;
        std::vector<std::string> expected;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n\r\nb\n", {"a", "b"}},
        {"\na", {"", "a"}},
        {"a\rb\n\rc", {"a", "b", "c"}},
        {"\r\n\n", {""}},
    };
    IniFileClass ini;
    for (const auto& c : cases) {
        std::vector<std::string> lines = {"left over"};
        ini.ParseLines(c.text, &lines);
        EXPECT_EQ(lines, c.expected) << "text: " << c.text;
    }
}

TEST(IniFileReading, EachReadStartsFromAnEmptyStore) {
    TempDir dir;
    WriteFile(dir.File("one.ini"), "[A]\nk=1\n");
    WriteFile(dir.File("two.ini"), "[B]\nj=2\n");
    IniFileClass ini;
    ini.ReadIniFile(dir.File("one.ini"));
    ini.ReadIniFile(dir.File("two.ini"));
    EXPECT_EQ(ini.Sections, (SectionMap{{"B", {{"j", "2"}}}}));
    EXPECT_EQ(ini.IniFileName, dir.File("two.ini"));
}

TEST(IniFileReading, AMissingFileOrAFolderLeavesAnEmptyStoreWithNoFileName) {
    TempDir dir;
    for (const std::string& path : {dir.File("missing.ini"), dir.Path(), dir.File("no/x.ini")}) {
        IniFileClass ini;
        ini.WriteString("Stale", "k", "1");
        ini.ReadIniFile(path);
        EXPECT_TRUE(ini.Sections.empty()) << path;
        EXPECT_EQ(ini.IniFileName, "") << path;
    }
}

// ---- Values ----

TEST(IniFileValues, AnEmptyValueIsReturnedInsteadOfTheDefault) {
    IniFileClass ini;
    ini.WriteString("S", "k", "");
    EXPECT_EQ(ini.ReadString("S", "k", "def"), "");
    EXPECT_EQ(ini.ReadInteger("S", "k", 7), 0);
    EXPECT_EQ(ini.ReadFloat("S", "k", 7.5), 0.0);
}

TEST(IniFileValues, AMissingKeyGivesTheDefaultAndCreatesNothing) {
    IniFileClass ini;
    ini.WriteString("S", "k", "1");
    EXPECT_EQ(ini.ReadString("S", "other", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("Missing", "k", -3), -3);
    EXPECT_EQ(ini.ReadFloat("Missing", "k", 2.5), 2.5);
    EXPECT_EQ(ini.Sections, (SectionMap{{"S", {{"k", "1"}}}}));
}

TEST(IniFileValues, IntegersReadLikeAtoiClampedToThirtyTwoBits) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const struct {
        std::string value;
        std::int32_t expected;
    } cases[] = {
        {" 1 ", 1},
        {"12px", 12},
        {"abc", 0},
        {"\t\n-5", -5},
        {"+7", 7},
        {"- 5", 0},
        {"2147483647", kMax},
        {"2147483648", kMax},
        {"-2147483648", kMin},
        {"-2147483649", kMin},
        {"99999999999999999999999999", kMax},
        {"-00000000000000000000000042", -42},
    };
    IniFileClass ini;
    for (const auto& c : cases) {
        ini.WriteString("S", "k", c.value);
        EXPECT_EQ(ini.ReadInteger("S", "k", 99), c.expected) << "value: " << c.value;
    }
}

TEST(IniFileValues, NumbersAreWrittenInTheirFixedFormats) {
    IniFileClass ini;
    ini.WriteFloat("S", "half", 0.5);
    ini.WriteFloat("S", "negative", -1234.5678901);
    ini.WriteInteger("S", "minus", -5);
    ini.WriteInteger("S", "lowest", std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ini.ReadString("S", "half", ""), "0.500000");
    EXPECT_EQ(ini.ReadString("S", "negative", ""), "-1234.567890");
    EXPECT_EQ(ini.ReadString("S", "minus", ""), "-5");
    EXPECT_EQ(ini.ReadString("S", "lowest", ""), "-2147483648");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "half", 0), 0.5);
}

// ---- Saving ----

TEST(IniFileSaving, SectionsAndKeysAreWrittenInByteOrderEachFollowedByAnEmptyLine) {
    TempDir dir;
    IniFileClass ini;
    ini.IniFileName = dir.File("Quorvel.ini");
    ini.WriteInteger("Window", "Left", 12);
    ini.WriteString("Misc", "AutoSaveBestRun", "N");
    ini.WriteString("a", "z", "1");
    ini.WriteString("a", "\xc3\xa9", "2");
    ini.WriteString("a", "Z", "3");
    ini.WriteString("Z", "k", "4");
    ASSERT_TRUE(ini.SaveIniFile());
    EXPECT_EQ(ReadFile(ini.IniFileName),
              "[Misc]\nAutoSaveBestRun=N\n\n[Window]\nLeft=12\n\n[Z]\nk=4\n\n"
              "[a]\nZ=3\nz=1\n\xc3\xa9=2\n\n");
}

TEST(IniFileSaving, UnknownKeysSurviveAReadAndASave) {
    TempDir dir;
    WriteFile(dir.File("Quorvel.ini"), ReadFile(TestDataPath("ini-sample.ini")));
    IniFileClass ini;
    ini.ReadIniFile(dir.File("Quorvel.ini"));
    ini.WriteString("Window", "HideBestSplits", "N");
    ASSERT_TRUE(ini.SaveIniFile());
    EXPECT_EQ(ReadFile(dir.File("Quorvel.ini")),
              "[Misc]\nAutoSaveBestRun=Y\nBestSplitMinElapsedSec=2\n\n"
              "[Plugins]\nTheme=dark = true\n\n"
              "[Window]\nHideBestSplits=N\nLeft=120\nTop=45\n\n");
}

TEST(IniFileSaving, NoFileIsCreatedWhenThereWasNoneAtRead) {
    TempDir dir;
    IniFileClass ini;
    ini.ReadIniFile(dir.File("Quorvel.ini"));
    ini.WriteInteger("Window", "Left", 1);
    ini.WriteString("Misc", "AutoSaveBestRun", "Y");
    EXPECT_FALSE(ini.SaveIniFile());
    EXPECT_FALSE(FileExists(dir.File("Quorvel.ini")));
}

TEST(IniFileSaving, SavingToAFolderOrIntoAMissingFolderFails) {
    TempDir dir;
    EXPECT_FALSE(SaveOneValue(dir.Path(), "1"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path()));
    EXPECT_FALSE(SaveOneValue(dir.File("missing/Quorvel.ini"), "1"));
    EXPECT_FALSE(FileExists(dir.File("missing")));
}

TEST(IniFileSaving, AWriteCutShortByTheFileSizeLimitLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string path = dir.File("Quorvel.ini");
    const std::string old = "[Misc]\nKey=old\n\n";
    WriteFile(path, old);

    {
        const FileSizeLimit limit(1024);
        EXPECT_FALSE(SaveOneValue(path, std::string(100000, 'n')));
    }
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Quorvel.ini"});
}
