#include "install/fonts.h"

#include "common/globals.h"
#include "common/messages.h"
#include "common/path.h"
#include "common/proc.h"
#include "install/assemble.h"
#include "install/regkey.h"
#include "res/texts.h"
#include "setup/catalogue.h"

namespace {

constexpr char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
constexpr char kEudcKey[] = "EUDC\\950";
// How long each window gets to take the font change.
constexpr UINT kFontChangeWait = 3000;

// The links are written with EUDC off; whatever happens after it was
// switched off, it goes on again and the key is closed.
int LinkFaceNames(HWND owner, const FontItem& font, const char* link) {
    HKEY key = nullptr;
    if (!OpenKeyForWriting(HKEY_CURRENT_USER, kEudcKey, &key)) {
        ShowDiagnostic(owner, "%s", kCantCreateEudcKey);
        return 0;
    }
    KeyCloser closer(key);
    const DWORD size = static_cast<DWORD>(TextLengthN(link, kPathLen)) + 1;
    for (int i = 0; i < font.AFiles; ++i) {
        const char* face = SetupInfo.AFontNameTable[font.FirstAFontName + i];
        if (RegSetValueExA(key, face, 0, REG_SZ, reinterpret_cast<const BYTE*>(link), size) !=
            ERROR_SUCCESS) {
            ShowDiagnostic(owner, "%s", kCantLinkFont);
            return 0;
        }
    }
    return 1;
}

// Switches EUDC off (0) or on (1) through GDI's EnableEUDC, bound at run
// time; says which look-up failed where it is missing.
void SetEudcEnabled(int flag) {
    const RunTimeCalls& calls = RunTime();
    if (calls.EnableEudc != nullptr)
        calls.EnableEudc(flag);
    else if (calls.EnableEudcBinding == Binding::NoLibrary)
        ShowDiagnostic(MainDialog, "%s", kNoGdiLibrary);
    else
        ShowDiagnostic(MainDialog, "%s", kNoEnableEudc);
}

}  // namespace

int IsBaseFontMissing(const char* valueName) {
    // Read access is all the look-up needs; asking for full access would
    // fail for a user who may not change the machine's settings, and the
    // check would then always pass.
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    BYTE data[128] = {};
    DWORD size = sizeof data;
    DWORD type = REG_SZ;
    const LONG result = RegQueryValueExA(key, valueName, nullptr, &type, data, &size);
    RegCloseKey(key);
    // A value too long for the buffer is there all the same.
    return result == ERROR_SUCCESS || result == ERROR_MORE_DATA ? 0 : 1;
}

int InstallFontItem(HWND owner, int index) {
    const FontItem& font = SetupInfo.FontItems[index];
    const char* file = SetupInfo.Pieces.File[font.FirstPiece];
    char destination[kPathLen];
    char link[kPathLen];
    JoinPath(destination, SetupInfo.TargetDir, file);
    JoinPath(link, SetupInfo.LinkDir, file);

    if (IsBaseFontMissing(font.FontName)) {
        ShowDiagnostic(owner, kBaseFontMissing, font.Name);
        return 0;
    }
    if (!AssembleFile(owner, SetupInfo.TargetDir, font.Files, font.FirstPiece, 0, 0, nullptr)) return 0;
    SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
    SetBusy(0);
    SetStatus(IDS_ADDING_FONT, font.Name);

    SetEudcEnabled(0);
    const int linked = LinkFaceNames(owner, font, link);
    SetEudcEnabled(1);
    if (!linked) return 0;
    // One hung window of any program must not hold up the install; every
    // responsive one is still told before the next font.
    SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, kFontChangeWait,
                        nullptr);
    return 1;
}
