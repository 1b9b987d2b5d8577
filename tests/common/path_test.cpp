// Paths are joined and searched by whole characters: in code page 950 the
// second byte of 許 or 功 is the backslash byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/path.h"
#include "support/testutil.h"

namespace {

TEST(Path, RunsUnderCodePage950) {
    ASSERT_EQ(GetACP(), 950u) << "tests must run with LC_ALL=zh_TW.UTF-8";
    // The premise of the tests below.
    EXPECT_EQ(Ansi("許"), "\xB3\x5C");
    EXPECT_EQ(Ansi("功"), "\xA5\x5C");
}

// Also after a directory whose last character ends in the backslash byte.
TEST(Path, JoinPutsOneBackslashBetween) {
    const struct {
        const char *dir, *name, *joined;
    } rows[] = {
        {"", "X", "X"}, {"C:\\", "X", "C:\\X"}, {"C:\\D", "X", "C:\\D\\X"}, {"A:", "QUILL95.INI", "A:\\QUILL95.INI"},
        {"C:\\許", "SKAI.TTE", "C:\\許\\SKAI.TTE"}, {"C:\\許\\", "SKAI.TTE", "C:\\許\\SKAI.TTE"},
        {"D:\\功蓋餐淚", "許.TTE", "D:\\功蓋餐淚\\許.TTE"},
    };
    for (const auto& r : rows) {
        char out[kPathLen];
        JoinPath(out, Ansi(r.dir).c_str(), Ansi(r.name).c_str());
        EXPECT_EQ(std::string(out), Ansi(r.joined)) << r.dir << " + " << r.name;
    }
}

TEST(Path, EndsWithBackslashLooksAtWholeCharacters) {
    EXPECT_TRUE(EndsWithBackslash("C:\\"));
    EXPECT_TRUE(EndsWithBackslash("\\"));
    EXPECT_FALSE(EndsWithBackslash(""));
    EXPECT_FALSE(EndsWithBackslash("C:"));
    EXPECT_FALSE(EndsWithBackslash(Ansi("C:\\許").c_str()));
    EXPECT_TRUE(EndsWithBackslash(Ansi("C:\\許\\").c_str()));
    // A lead byte cut off at the end is a character of its own.
    EXPECT_FALSE(EndsWithBackslash("C:\\\xB3"));
}

TEST(Path, FindLastBackslashSkipsTrailBytes) {
    std::string path = Ansi("C:\\許功\\SETUP.EXE");
    char* found = FindLastBackslash(&path[0]);
    ASSERT_NE(found, nullptr);
    *found = '\0';
    EXPECT_EQ(std::string(path.c_str()), Ansi("C:\\許功"));

    std::string noSlash = Ansi("許功");
    EXPECT_EQ(FindLastBackslash(&noSlash[0]), nullptr);
}

TEST(Path, JoinThatDoesNotFitIsCutAndSaysSo) {
    char out[16];
    EXPECT_TRUE(JoinPath(out, "C:\\ABCDEFGH", "XYZ"));  // 15 characters
    EXPECT_STREQ(out, "C:\\ABCDEFGH\\XYZ");
    EXPECT_FALSE(JoinPath(out, "C:\\ABCDEFGH", "XYZW"));
    EXPECT_STREQ(out, "C:\\ABCDEFGH\\XYZ");
    EXPECT_FALSE(JoinPath(out, "C:\\ABCDEFGHIJKLMNOP", "X"));
    EXPECT_EQ(strlen(out), 15u);
}

// Only paths on one root are compared by their aliases: another drive is
// never touched.
TEST(Path, SameRootIsOneDriveOrOneShare) {
    const struct {
        const char *a, *b;
        bool same;
    } rows[] = {
        {"C:\\A", "c:\\B", true}, {"C:\\A", "D:\\A", false}, {"C:", "C:\\X", true},
        {"\\\\srv\\share\\A", "\\\\SRV\\Share", true}, {"\\\\srv\\share\\A", "\\\\srv\\other\\A", false},
        {"\\\\許\\功\\A", "\\\\許\\功\\B", true}, {"\\\\許\\功\\A", "\\\\許\\功X\\A", false},
        {"\\\\srv\\share", "C:\\A", false}, {"A", "A", false}, {"", "", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(SameRoot(Ansi(r.a).c_str(), Ansi(r.b).c_str()), r.same) << r.a << " and " << r.b;
}

TEST(Path, DropPartialCharacterRemovesOnlyALoneLeadByte) {
    std::string cut = Ansi("許功").substr(0, 3);  // B3 5C A5
    DropPartialCharacter(&cut[0]);
    EXPECT_EQ(std::string(cut.c_str()), Ansi("許"));
    std::string whole = Ansi("許功");
    DropPartialCharacter(&whole[0]);
    EXPECT_EQ(std::string(whole.c_str()), Ansi("許功"));
    char ascii[] = "C:\\";
    DropPartialCharacter(ascii);
    EXPECT_STREQ(ascii, "C:\\");
}

}  // namespace
