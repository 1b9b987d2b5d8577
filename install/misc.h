// Accessory files: built by the assembly pipeline, then, when their item
// names a group, given a Program Manager item over DDE.
#pragma once

#include <windows.h>

// Builds the accessory file of MiscItems[index] in its DstDir. 0 when the
// file was not built (the pipeline has told the user why), otherwise the
// result of AddProgmanItem.
int InstallMiscItem(HWND owner, int index);

struct MiscItem;

// The reason the item, its file installed at path, gets no Program Manager
// item whatever the server does, or null; *refused (when given) is then the
// text refused: the group, the item's name or the path.
const char* ProgmanRefusal(const MiscItem& item, const char* path, const char** refused = nullptr);

// Asks Program Manager to create and show the item's group and to add an
// item for path (the installed file, at most 127 characters) to it. 1 when
// the item has no group or the group and the item were made, else 0.
// Failures go to the trace only; the focus goes back to owner. The DDE
// instance, its string handles and the conversation live within the call.
int AddProgmanItem(HWND owner, int index, const char* path);

