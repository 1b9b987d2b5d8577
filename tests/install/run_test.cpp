// The install run's own decisions: the link directory and the free-space
// message.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "common/proc.h"
#include "install/run.h"
#include "support/testutil.h"

namespace {

std::string LinkDirFor(const std::string& target, const std::string& fonts) {
    char link[kPathLen];
    CopyText(link, "unchanged?");
    DecideLinkDir(target.c_str(), fonts.c_str(), link);
    return link;
}

TEST(RunDecisions, LinkDirIsEmptyOnlyInTheFontsDirectory) {
    EXPECT_EQ(LinkDirFor("C:\\WINDOWS\\FONTS", "C:\\WINDOWS\\FONTS"), "");
    EXPECT_EQ(LinkDirFor("c:\\windows\\fonts\\", "C:\\WINDOWS\\FONTS"), "");
    EXPECT_EQ(LinkDirFor("c:\\", "c:\\windows\\fonts"), "c:\\");
    EXPECT_EQ(LinkDirFor("D:\\QFONTS\\", "C:\\WINDOWS\\FONTS"), "D:\\QFONTS\\");
    EXPECT_EQ(LinkDirFor("C:\\WINDOWS\\FONTS\\X", "C:\\WINDOWS\\FONTS"), "C:\\WINDOWS\\FONTS\\X");
    // The last byte of 許 is no trailing backslash to drop.
    const std::string xu = Ansi("C:\\許");
    EXPECT_EQ(LinkDirFor(xu, xu), "");
    EXPECT_EQ(LinkDirFor(xu + "\\", xu), "");
    EXPECT_EQ(LinkDirFor(xu, "C:\\WINDOWS\\FONTS"), xu);
}

std::string SpaceText(long long needed, long long freeKb) {
    char text[kMessageLen];
    if (!FreeSpaceText(needed, freeKb, text)) return "enough";
    return Utf8(text);
}

TEST(RunDecisions, FreeSpaceMessage) {
    EXPECT_EQ(SpaceText(1536, 1000), "所需磁碟空間: 1.5M\n 大於尚餘磁碟空間: 1000K");
    EXPECT_EQ(SpaceText(3000, 2047), "所需磁碟空間: 2.9M\n 大於尚餘磁碟空間: 1M");
    EXPECT_EQ(SpaceText(1000, 1000), "enough");
    EXPECT_EQ(SpaceText(0, 0), "enough");
    // The tenth carries into the megabytes.
    EXPECT_EQ(SpaceText(2047, 100), "所需磁碟空間: 2.0M\n 大於尚餘磁碟空間: 100K");
    EXPECT_EQ(SpaceText(1023, 0), "所需磁碟空間: 1.0M\n 大於尚餘磁碟空間: 0K");
    EXPECT_EQ(SpaceText(1024, 1023), "所需磁碟空間: 1.0M\n 大於尚餘磁碟空間: 1023K");
    // Sums beyond 32 bits, and a drive with terabytes free.
    EXPECT_EQ(SpaceText(120LL * 2147483647LL, 5LL << 30), "所需磁碟空間: 251658239.9M\n 大於尚餘磁碟空間: 5242880M");
    EXPECT_EQ(SpaceText(4000000, 6LL << 30), "enough");
}

// Both ways of asking give the drive's free space whole, also past 4 GB
// (the older call's product overflows 32 bits there).
TEST(RunDecisions, FreeKilobytesWithAndWithoutTheNewerCall) {
    ULARGE_INTEGER available;
    ASSERT_TRUE(GetDiskFreeSpaceExA("c:\\", &available, nullptr, nullptr));
    const long long expected = static_cast<long long>(available.QuadPart / 1024);
    long long got = -1;
    ASSERT_TRUE(FreeKilobytes("c:\\", &got));
    EXPECT_LT(std::llabs(got - expected), 1024) << got << " " << expected;

    const RunTimeCalls saved = RunTime();
    RunTime().DiskFreeSpaceEx = nullptr;  // as on the first Windows 95
    got = -1;
    const bool asked = FreeKilobytes("c:\\", &got);
    RunTime() = saved;
    ASSERT_TRUE(asked);
    EXPECT_LT(std::llabs(got - expected), 1024) << got << " " << expected;

    EXPECT_FALSE(FreeKilobytes("q:\\", &got)) << "no such drive";
}

}  // namespace
