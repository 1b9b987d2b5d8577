// The arithmetic of a medium: what each format gives files, and where the
// pieces of a layout's items fall.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/plan.h"
#include "support/testutil.h"

namespace {

TEST(Plan, DiskSizesAndNames) {
    const struct {
        const char* text;
        bool known;
        DiskFormat format;
    } sizes[] = {
        {"1.44M", true, {512, 2847, 224}}, {"1.44m", true, {512, 2847, 224}}, {"1.2M", true, {512, 2371, 224}},
        {"720K", true, {1024, 713, 112}},  {"360k", true, {1024, 354, 112}},  {"CD", true, {1, 0, 0}},
        {"1000", true, {1, 1000, 0}},      {"1.44MB", false, {}},             {"0", false, {}},
        {"-5", false, {}},                 {"9999999999", false, {}},         {"", false, {}},
    };
    for (const auto& s : sizes) {
        DiskFormat f = {7, 7, 7};
        EXPECT_EQ(ParseDiskSize(s.text, &f), s.known) << s.text;
        if (s.known) {
            EXPECT_TRUE(f.ClusterBytes == s.format.ClusterBytes && f.Clusters == s.format.Clusters &&
                        f.RootEntries == s.format.RootEntries)
                << s.text;
        }
    }
    // An 8.3 name in capitals takes one root entry; any other its long name's.
    const struct {
        const char* name;
        int entries;
    } names[] = {{"SKAI.TTE", 1}, {"README", 1}, {"skai.tte", 2}, {"LONGNAME1.TXT", 2},
                 {"A.B.C", 2},    {"A.TEXT", 2}, {"許功.TTE", 2}};
    for (const auto& n : names) EXPECT_EQ(EntriesOf(Ansi(n.name).c_str()), n.entries) << n.name;
}

// Items of the given sizes (and names), each file named after its number.
void Items(const std::vector<unsigned long>& sizes, const char* name = nullptr) {
    Layout.ItemCount = 0;
    for (unsigned long bytes : sizes) {
        SourceItem& item = Layout.Items[Layout.ItemCount++];
        item = SourceItem{};
        FormatText(item.FileName, "F%d.TTE", Layout.ItemCount);
        if (name) CopyText(item.FileName, name);
        item.Bytes = bytes;
    }
}

// Where the pieces fall: "disk:bytes" each.
std::string Pieces() {
    std::string out;
    for (int p = 0; p < Layout.PieceCount; ++p)
        out += std::to_string(Layout.Pieces[p].Disk) + ":" + std::to_string(Layout.Pieces[p].Bytes) + " ";
    return out;
}

// SETUP.EXE of 140 clusters and a description of two leave disk 1 of a
// 1.44M floppy 2705 clusters and 222 root entries.
constexpr unsigned long kSetup = 140 * 512 - 100, kDescription = 1000, kDisk1 = 2705UL * 512;

PlanResult Plan(const char* size, const std::vector<unsigned long>& items, const char* name = nullptr) {
    EXPECT_TRUE(ParseDiskSize(size, &Layout.Format)) << size;
    Layout.SetupBytes = kSetup;
    Items(items, name);
    int item = -1;
    return PlanPieces(kDescription, &item);
}

TEST(Plan, PiecesFillEachDiskInTurn) {
    const struct {
        const char* what;
        const char* size;
        std::vector<unsigned long> items;
        std::string pieces;
    } rows[] = {
        {"exactly full", "1.44M", {kDisk1}, "1:1384960 "},
        {"one byte more", "1.44M", {kDisk1 + 1}, "1:1384960 2:1 "},
        {"whole clusters", "1.44M", {kDisk1 - 513, 1, 1}, "1:1384447 1:1 2:1 "},
        {"a next disk whole", "1.44M", {kDisk1, 2847UL * 512 + 5}, "1:1384960 2:1457664 3:5 "},
        {"an empty file takes no cluster", "1.44M", {kDisk1, 0}, "1:1384960 1:0 "},
        {"a CD: nothing cut", "CD", {400000000}, "1:400000000 "},
        {"bytes: no rounding", "72900", {600, 1000, 400}, "1:320 2:280 2:1000 2:400 "},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Plan(r.size, r.items), kPlanned) << r.what;
        EXPECT_EQ(Pieces(), r.pieces) << r.what;
    }
}

// Many small files: 720K's 112 root entries, less SETUP.EXE's and the
// description's, hold 110 8.3 names, or 36 long ones of three entries each.
TEST(Plan, RootEntriesRunOut) {
    for (const char* name : {"F.TTE", "Long Font Name.TTF"}) {
        Plan("720K", std::vector<unsigned long>(120, 1), name);
        int first = 0;
        for (int p = 0; p < Layout.PieceCount; ++p) first += Layout.Pieces[p].Disk == 1;
        EXPECT_EQ(first, EntriesOf(name) == 1 ? 110 : 36) << name;
    }
}

TEST(Plan, RefusalsAndNames) {
    EXPECT_EQ(Plan("1.44M", {121UL * 2847 * 512}), kTooManyPieces);
    Layout.SetupBytes = 3000000;
    int item = -1;
    EXPECT_EQ(PlanPieces(kDescription, &item), kNoRoomOnDisk1);
    // The pieces after the first: 8.3 names of their own, unique on the
    // medium, also where two items' names begin alike.
    Layout.SetupBytes = kSetup;
    Items({3000000, 3000000});
    CopyText(Layout.Items[0].FileName, "FONT.TTE");
    CopyText(Layout.Items[1].FileName, "font.ttf");
    ASSERT_EQ(PlanPieces(kDescription, &item), kPlanned);
    std::vector<std::string> names;
    for (int p = 0; p < Layout.PieceCount; ++p) names.push_back(Layout.Pieces[p].Name);
    EXPECT_EQ(names, (std::vector<std::string>{"FONT.TTE", "FONT.002", "FONT.003", "font.ttf", "Q0000001.002",
                                               "Q0000001.003"}));
}

}  // namespace
