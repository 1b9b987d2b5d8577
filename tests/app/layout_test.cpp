// The shell's arithmetic: version test, centring, logo, tile pieces.
#include <gtest/gtest.h>

#include <vector>

#include "app/layout.h"

namespace {

DWORD Version(int major, int minor) { return static_cast<DWORD>(major | (minor << 8)); }

TEST(Layout, VersionTest) {
    EXPECT_TRUE(IsVersionSupported(Version(3, 10)));
    EXPECT_FALSE(IsVersionSupported(Version(3, 9)));
    EXPECT_FALSE(IsVersionSupported(Version(3, 0)));
    EXPECT_TRUE(IsVersionSupported(Version(4, 0)));
    EXPECT_TRUE(IsVersionSupported(Version(3, 95)));
    EXPECT_FALSE(IsVersionSupported(Version(2, 255)));
    // Only the low word counts: Wine's default 6.1 with its build number.
    EXPECT_TRUE(IsVersionSupported(0x1DB10106));
    EXPECT_FALSE(IsVersionSupported(0x80000003));  // 3.0
    EXPECT_TRUE(IsVersionSupported(0x80000A03));   // 3.10
}

TEST(Layout, CentringUsesTheClientSize) {
    const RECT screen = {0, 0, 1024, 768};
    POINT p = CentredOrigin(screen, 340, 400);
    EXPECT_EQ(p.x, 342);
    EXPECT_EQ(p.y, 184);
    p = CentredOrigin(screen, 341, 401);  // odd sizes truncate
    EXPECT_EQ(p.x, 341);
    EXPECT_EQ(p.y, 183);
    p = CentredOrigin(screen, 1100, 800);  // larger than the screen
    EXPECT_EQ(p.x, -38);
    EXPECT_EQ(p.y, -16);
}

TEST(Layout, LogoCentredInTheClientArea) {
    const RECT client = {0, 0, 340, 400};
    EXPECT_EQ(CentredX(client, 240), 50);
    const RECT odd = {0, 0, 341, 400};
    EXPECT_EQ(CentredX(odd, 240), 50);
}

std::vector<TilePiece> Pieces(const RECT& clip) {
    std::vector<TilePiece> pieces;
    ForEachTilePiece(clip, 160, 160, [&](const TilePiece& p) { pieces.push_back(p); });
    return pieces;
}

TEST(Layout, SixPiecesOfAClipBoxAcrossTileEdges) {
    const std::vector<TilePiece> pieces = Pieces({150, 150, 330, 170});
    const struct { RECT dest; POINT source; } expected[] = {
        {{150, 150, 160, 160}, {150, 150}}, {{150, 160, 160, 170}, {150, 0}},
        {{160, 150, 320, 160}, {0, 150}},   {{160, 160, 320, 170}, {0, 0}},
        {{320, 150, 330, 160}, {0, 150}},   {{320, 160, 330, 170}, {0, 0}},
    };
    ASSERT_EQ(pieces.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_TRUE(EqualRect(&pieces[i].dest, &expected[i].dest)) << "piece " << i;
        EXPECT_EQ(pieces[i].source.x, expected[i].source.x) << "piece " << i;
        EXPECT_EQ(pieces[i].source.y, expected[i].source.y) << "piece " << i;
    }
}

TEST(Layout, PiecesCoverTheClipBoxExactlyOnce) {
    const RECT clips[] = {{0, 0, 1024, 768}, {0, 0, 160, 160}, {159, 159, 161, 161}, {480, 10, 481, 700}};
    for (const RECT& clip : clips) {
        long area = 0;
        for (const TilePiece& p : Pieces(clip)) {
            RECT inside;
            EXPECT_TRUE(IntersectRect(&inside, &p.dest, &clip) && EqualRect(&inside, &p.dest));
            EXPECT_LE(p.source.x + (p.dest.right - p.dest.left), 160);
            EXPECT_LE(p.source.y + (p.dest.bottom - p.dest.top), 160);
            area += (p.dest.right - p.dest.left) * (p.dest.bottom - p.dest.top);
        }
        EXPECT_EQ(area, (clip.right - clip.left) * (clip.bottom - clip.top));
    }
    EXPECT_TRUE(Pieces({50, 50, 50, 90}).empty());
}

}  // namespace
