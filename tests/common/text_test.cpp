// Bounded copies and formats: they cut at the buffer size less one, always
// terminate, and never write past the array they were given.
#include <gtest/gtest.h>

#include <cstring>

#include "common/text.h"

namespace {

// A buffer with guard bytes on both sides, to see any write past it.
template <size_t N>
struct Guarded {
    char before[8];
    char text[N];
    char after[8];
    Guarded() {
        memset(before, 0x5A, sizeof before);
        memset(text, 0x5A, sizeof text);
        memset(after, 0x5A, sizeof after);
    }
    bool Intact() const {
        for (char c : before)
            if (c != 0x5A) return false;
        for (char c : after)
            if (c != 0x5A) return false;
        return true;
    }
};

TEST(BoundedText, CopyCutsAtSizeLessOne) {
    Guarded<8> g;
    EXPECT_TRUE(CopyText(g.text, "1234567"));
    EXPECT_STREQ(g.text, "1234567");
    EXPECT_FALSE(CopyText(g.text, "123456789"));
    EXPECT_STREQ(g.text, "1234567");
    EXPECT_TRUE(CopyText(g.text, nullptr));
    EXPECT_STREQ(g.text, "");
    EXPECT_TRUE(g.Intact());
}

TEST(BoundedText, AppendCutsAndTerminates) {
    Guarded<8> g;
    CopyText(g.text, "abc");
    EXPECT_TRUE(AppendText(g.text, "de"));
    EXPECT_STREQ(g.text, "abcde");
    EXPECT_FALSE(AppendText(g.text, "fghij"));
    EXPECT_STREQ(g.text, "abcdefg");
    EXPECT_FALSE(AppendText(g.text, "x"));
    EXPECT_STREQ(g.text, "abcdefg");
    EXPECT_TRUE(g.Intact());
}

TEST(BoundedText, AppendToUnterminatedBufferStartsOver) {
    Guarded<4> g;  // all 0x5A: no terminator anywhere in the array
    EXPECT_TRUE(AppendText(g.text, "ab"));
    EXPECT_STREQ(g.text, "ab");
    EXPECT_TRUE(g.Intact());
}

TEST(BoundedText, FormatCutsAndKeepsDataOutOfTheFormat) {
    Guarded<16> g;
    EXPECT_TRUE(FormatText(g.text, "%s=%d", "k", 42));
    EXPECT_STREQ(g.text, "k=42");
    // Conversions inside data are data.
    EXPECT_TRUE(FormatText(g.text, "%s", "%s%n%d"));
    EXPECT_STREQ(g.text, "%s%n%d");
    EXPECT_FALSE(FormatText(g.text, "%s", "0123456789abcdefghij"));
    EXPECT_STREQ(g.text, "0123456789abcde");
    EXPECT_TRUE(g.Intact());
}

TEST(BoundedText, DecimalOf64Bits) {
    Guarded<21> g;
    EXPECT_STREQ(DecimalText(g.text, 0), "0");
    EXPECT_STREQ(DecimalText(g.text, 4294967296ULL), "4294967296");
    EXPECT_STREQ(DecimalText(g.text, ~0ULL), "18446744073709551615");
    Guarded<4> small;
    EXPECT_STREQ(DecimalText(small.text, 123456), "123");
    EXPECT_TRUE(g.Intact() && small.Intact());
}

TEST(BoundedText, LengthNeverReadsPastTheArray) {
    char full[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(TextLength(full), 4u);
    char some[4] = "ab";
    EXPECT_EQ(TextLength(some), 2u);
}

}  // namespace
