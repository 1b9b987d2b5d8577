#include "app/layout.h"

bool IsVersionSupported(DWORD version) {
    const WORD low = LOWORD(version);
    const int major = LOBYTE(low);
    const int minor = HIBYTE(low);
    return major * 256 + minor >= 0x030A;
}

POINT CentredOrigin(const RECT& screen, int w, int h) {
    POINT origin;
    origin.x = (screen.left + screen.right - w) / 2;
    origin.y = (screen.top + screen.bottom - h) / 2;
    return origin;
}

int CentredX(const RECT& client, int width) {
    return (client.left + client.right - width) / 2;
}
