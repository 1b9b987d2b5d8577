// Entry point. For now: the caption, the setup description, and what the
// loader found; the windows come next.
#include <windows.h>

#include "common/globals.h"
#include "common/messages.h"
#include "common/text.h"
#include "setup/catalogue.h"
#include "setup/loader.h"

namespace {

// One line per font of the loaded catalogue, cut to what a box can show.
void ShowCatalogue() {
    char text[2048];
    FormatText(text, "%d fonts, %d accessory files, %d tables:\n", SetupInfo.FontCount,
               SetupInfo.MiscCount, SetupInfo.TableCount);
    for (int i = 0; i < SetupInfo.FontCount; ++i) {
        char line[kNameLen + 4];
        FormatText(line, "%s\n", SetupInfo.FontItems[i].Name);
        if (!AppendText(text, line)) break;
    }
    MessageBoxA(nullptr, text, Caption, MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppInstance = instance;
    LoadCaption();
    const int code = LoadSetupInfo();
    if (code != 0) {
        ShowError(nullptr, code);
        return 0;
    }
    ShowCatalogue();
    return 0;
}
