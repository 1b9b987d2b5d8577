// Thousands of mutated descriptions, seeded and reproducible, in one
// process: every load ends with 0 or 11, and a successful one leaves a
// catalogue whose every invariant holds, with nothing written where no
// entry was handed out. make fuzz runs a campaign through the environment:
// QSETUP_FUZZ_RUNS descriptions (3000 here) from QSETUP_FUZZ_SEED, starting
// at run QSETUP_FUZZ_FIRST (0). Each run's mutations come from the seed and
// its own number alone, so FIRST=n RUNS=1 repeats run n by itself.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "res/resource.h"
#include "setup/catalogue.h"
#include "setup/loader.h"
#include "support/description.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

class Mutator {
public:
    Mutator(unsigned long seed, unsigned long run) {
        std::seed_seq seq{seed, run};
        rng_.seed(seq);
    }

    std::string Mutate(const std::string& base) {
        std::vector<std::string> lines = Lines(base);
        const int edits = 1 + Pick(6);
        for (int e = 0; e < edits && !lines.empty(); ++e) {
            std::string& line = lines[Pick(static_cast<int>(lines.size()))];
            switch (Pick(9)) {
                case 0: lines.erase(lines.begin() + Pick(static_cast<int>(lines.size()))); break;
                case 1: lines.insert(lines.begin() + Pick(static_cast<int>(lines.size())), line); break;
                case 2: SetValue(line, Number()); break;
                case 3: SetValue(line, ""); break;
                case 4: SetValue(line, std::string(Pick(400), static_cast<char>('A' + Pick(26)))); break;
                case 5: line.insert(Pick(static_cast<int>(line.size()) + 1), RandomBytes()); break;
                case 6: line.resize(Pick(static_cast<int>(line.size()) + 1)); break;
                case 7: std::swap(line, lines[Pick(static_cast<int>(lines.size()))]); break;
                case 8: SetValue(line, Hex()); break;
            }
        }
        std::string out;
        for (const std::string& l : lines) out += l + "\r\n";
        return out;
    }

private:
    int Pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    static void SetValue(std::string& line, const std::string& value) {
        size_t eq = line.find('=');
        if (eq != std::string::npos) line = line.substr(0, eq + 1) + value;
    }
    std::string Number() {
        static const char* const edges[] = {"0",   "1",  "-1",  "2",   "39",  "40",         "41",
                                            "119", "120", "121", "999", "-2147483648",
                                            "2147483647", "4294967297", "+3", " 7", "3x", "0x10"};
        return edges[Pick(sizeof edges / sizeof *edges)];
    }
    std::string Hex() {
        static const char* const texts[] = {"1F", "0x1f", "0x12345678", "-1", "zz", "", "FFFFFFFFF", "0x"};
        return texts[Pick(sizeof texts / sizeof *texts)];
    }
    std::string RandomBytes() {
        static const char specials[] = "[]=;\"\\% \t\x5C\xA4\xB3\xFF\x80";
        std::string s;
        for (int i = 0, n = 1 + Pick(8); i < n; ++i)
            s += Pick(2) ? specials[Pick(sizeof specials - 1)] : static_cast<char>(1 + Pick(255));
        return s;
    }

    std::mt19937 rng_;
};

// A base that touches every kind of item, with several pieces and faces:
// the example, its viewer in two pieces, a second accessory file, a third
// font and a layout.
std::string Base() {
    Example e;
    e.misc[0].Piece("VIEWER.P2", "Disk 2");
    e.misc.push_back(Item("Help").Piece("HELP.TXT", "Disk 1"));
    e.fonts.push_back(Item("Sample Hei").Key("FontName", "Hei Base").Face("Hei").Piece("SHEI.TTE", "Disk 3"));
    e.tables[0].Key("Layout", 2);
    return e.Text();
}

// A text: terminated inside its buffer and, when required, not empty.
::testing::AssertionResult IsText(const char* text, size_t size, bool required, const char* what) {
    const void* end = memchr(text, '\0', size);
    if (end == nullptr) return ::testing::AssertionFailure() << what << " not terminated";
    if (required && text[0] == '\0') return ::testing::AssertionFailure() << what << " empty";
    return ::testing::AssertionSuccess();
}
#define EXPECT_TEXT(field, required) EXPECT_TRUE(IsText(field, sizeof(field), required, #field))

// An item's run of entries (pieces or face names): it starts where the last
// one ended, holds at least one, and ends inside the table of limit entries;
// taken is moved past it.
::testing::AssertionResult TakesNext(int first, int count, int& taken, int limit, const char* what) {
    auto failure = ::testing::AssertionFailure() << what << " ";
    if (first != taken) return failure << "start at " << first << ", not " << taken;
    if (count < 1) return failure << "count " << count;
    taken += count;
    if (taken > limit) return failure << "end at " << taken << ", past " << limit;
    return ::testing::AssertionSuccess();
}

// Failures recorded so far in this test (its only test parts).
int Failures() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

void CheckCatalogue() {
    const SetupCatalogue& c = SetupInfo;
    const int failures = Failures();
    ASSERT_GE(c.MiscCount, 0);
    ASSERT_LE(c.MiscCount, kMaxMiscItems);
    ASSERT_GE(c.FontCount, 1);
    ASSERT_LE(c.FontCount, kMaxFontItems);
    ASSERT_GE(c.TableCount, 0);
    ASSERT_LE(c.TableCount, kMaxTableItems);

    int pieces = 0, faces = 0;
    // What accessory files and tables share, then each kind's own.
    const auto fileItem = [&](const auto& item) {
        EXPECT_TEXT(item.Name, true);
        EXPECT_TEXT(item.DstDir, false);
        EXPECT_TRUE(TakesNext(item.FirstPiece, item.Files, pieces, kMaxPieces, "pieces"));
    };
    for (int i = 0; i < c.MiscCount; ++i) {
        fileItem(c.MiscItems[i]);
        EXPECT_TEXT(c.MiscItems[i].Group, false);
    }
    for (int i = 0; i < c.FontCount; ++i) {
        const FontItem& f = c.FontItems[i];
        EXPECT_TEXT(f.Name, true);
        EXPECT_TEXT(f.FontName, true);
        EXPECT_GE(f.Size, 0);
        ASSERT_TRUE(TakesNext(f.FirstPiece, f.Files, pieces, kMaxPieces, "pieces"));
        ASSERT_TRUE(TakesNext(f.FirstAFontName, f.AFiles, faces, kMaxFaceNames, "face names"));
    }
    for (int i = 0; i < c.TableCount; ++i) {
        const TableItem& t = c.TableItems[i];
        fileItem(t);
        EXPECT_TEXT(t.UserKey, false);
        EXPECT_TRUE(t.HasMode == 0 || t.HasMode == 1);
        EXPECT_TRUE(t.HasLayout == 0 || t.HasLayout == 1);
        if (!t.HasMode) {
            EXPECT_EQ(t.Mode, 0u);
        }
        if (!t.HasLayout) {
            EXPECT_EQ(t.Layout, 0u);
        }
    }
    // Runs that went wrong make what follows meaningless.
    if (Failures() != failures) return;
    for (int i = 0; i < pieces; ++i) {
        EXPECT_TEXT(c.Pieces.File[i], true);
        EXPECT_TEXT(c.Pieces.Disk[i], true);
    }
    for (int i = 0; i < faces; ++i) EXPECT_TEXT(c.AFontNameTable[i], true);

    // Nothing written beyond what was handed out.
    EXPECT_TRUE(IsPoison(&c.MiscItems[c.MiscCount], sizeof(MiscItem) * (kMaxMiscItems - c.MiscCount)));
    EXPECT_TRUE(IsPoison(&c.FontItems[c.FontCount], sizeof(FontItem) * (kMaxFontItems - c.FontCount)));
    EXPECT_TRUE(IsPoison(&c.TableItems[c.TableCount], sizeof(TableItem) * (kMaxTableItems - c.TableCount)));
    EXPECT_TRUE(IsPoison(c.Pieces.File[pieces], sizeof c.Pieces.File[0] * (kMaxPieces - pieces)));
    EXPECT_TRUE(IsPoison(c.Pieces.Disk[pieces], sizeof c.Pieces.Disk[0] * (kMaxPieces - pieces)));
    EXPECT_TRUE(IsPoison(c.AFontNameTable[faces], sizeof c.AFontNameTable[0] * (kMaxFaceNames - faces)));
}

// A number from the environment, or fallback where it is not set.
::testing::AssertionResult Setting(const char* name, unsigned long& value, unsigned long fallback) {
    const char* text = std::getenv(name);
    value = fallback;
    if (text == nullptr || *text == '\0') return ::testing::AssertionSuccess();
    char* end = nullptr;
    value = std::strtoul(text, &end, 10);
    if (*end != '\0') return ::testing::AssertionFailure() << name << "=" << text << " is not a number";
    return ::testing::AssertionSuccess();
}

TEST(LoaderFuzz, MutatedDescriptionsLoadOrAreRejected) {
    unsigned long seed, runs, first;
    ASSERT_TRUE(Setting("QSETUP_FUZZ_SEED", seed, 20261207));
    ASSERT_TRUE(Setting("QSETUP_FUZZ_RUNS", runs, 3000));
    ASSERT_TRUE(Setting("QSETUP_FUZZ_FIRST", first, 0));
    std::printf("fuzz: seed %lu, %lu descriptions from run %lu\n", seed, runs, first);
    DescriptionFiles files;
    const std::string base = Dos(Base());
    unsigned long loaded = 0, refused = 0, failed = 0;
    for (unsigned long run = first; run < first + runs; ++run) {
        // Every failure names its run.
        SCOPED_TRACE(::testing::Message() << "seed " << seed << " run " << run);
        const std::string text = Mutator(seed, run).Mutate(base);
        const int before = Failures();
        PoisonCatalogue();
        const std::string path = files.WriteRaw(text);
        CopyText(SetupInfo.SetupFilePath, path.c_str());
        const int code = ReadSetupDescription();
        if (code == 0) {
            ++loaded;
            CheckCatalogue();
        } else if (code == IDS_BAD_SETUP_FILE) {
            ++refused;
        } else {
            ADD_FAILURE() << "gave " << code;
        }
        DeleteFileA(path.c_str());
        // The first few failing runs with their text.
        if (Failures() != before && ++failed <= 10) ADD_FAILURE() << "for:\n" << text;
    }
    std::printf("fuzz: %lu descriptions: %lu loaded, %lu refused (message 11), %lu failed\n", runs, loaded,
                refused, failed);
    // Both outcomes must really occur, or the mutations test nothing.
    if (runs >= 1000) {
        EXPECT_GT(loaded, runs / 10);
        EXPECT_LT(loaded, runs * 9 / 10);
    }
}

}  // namespace
