// The shell's arithmetic, apart from any screen so it can be checked alone.
#pragma once

#include <windows.h>

// GetVersion's low word: major version in the low byte, minor in the high.
// The program needs 3.10 or later (major * 256 + minor >= 778).
bool IsVersionSupported(DWORD version);

// Top-left corner that centres a w x h client area on the screen rectangle.
// The frame and caption are left out, so the window sits a little right of
// and below the exact centre.
POINT CentredOrigin(const RECT& screen, int w, int h);

// x of a bitmap of the given width centred in the client rectangle.
int CentredX(const RECT& client, int width);

// One copy of (part of) the tile: destination rectangle and source point.
struct TilePiece {
    RECT dest;
    POINT source;
};

// Calls paint(piece) for every piece of a w x h tile that falls inside clip,
// tiles laid on a grid anchored at the client origin, column by column.
template <typename Paint>
void ForEachTilePiece(const RECT& clip, int w, int h, Paint paint) {
    if (w <= 0 || h <= 0) return;
    const int x0 = (clip.left / w) * w;
    const int y0 = (clip.top / h) * h;
    for (int x = x0; x < clip.right; x += w) {
        for (int y = y0; y < clip.bottom; y += h) {
            const RECT tile = {x, y, x + w, y + h};
            TilePiece piece;
            if (IntersectRect(&piece.dest, &tile, &clip)) {
                piece.source.x = piece.dest.left % w;
                piece.source.y = piece.dest.top % h;
                paint(piece);
            }
        }
    }
}
