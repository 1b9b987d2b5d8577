#include "layout/model.h"

#include <string.h>

#include "common/path.h"
#include "setup/loader.h"

LayoutModel Layout;

const KindKeys& KeysOf(ItemKind kind) {
    // By ItemKind: accessory files, tables, fonts.
    static constexpr KindKeys kKinds[] = {
        {"Misc", "Items", "Item", "Misc Files", 0, kMaxMiscItems},
        {"Tbls", "Tbls", "Tbl", "Tbls Files", 0, kMaxTableItems},
        {"Fonts", "Fonts", "Font", "Font Files", 1, kMaxFontItems},
    };
    return kKinds[kind];
}

const PassedKey* PassedKeys(ItemKind kind, int* count) {
    static constexpr PassedKey kMisc[] = {{"DstDir", kPathLen, false, false},
                                          {"Group", kNameLen, false, false}};
    static constexpr PassedKey kTables[] = {{"DstDir", kPathLen, false, false},
                                            {"UserKey", kNameLen, false, false},
                                            {"Mode", kHexTextLen, false, true},
                                            {"Layout", kHexTextLen, false, true}};
    static constexpr PassedKey kFonts[] = {{"FontName", kNameLen, true, false}};
    if (kind == kMiscKind) {
        *count = static_cast<int>(ARRAY_COUNT(kMisc));
        return kMisc;
    }
    if (kind == kTableKind) {
        *count = static_cast<int>(ARRAY_COUNT(kTables));
        return kTables;
    }
    *count = static_cast<int>(ARRAY_COUNT(kFonts));
    return kFonts;
}

bool ImagePath(int item, char (&path)[kPathLen]) {
    char name[16];
    FormatText(name, "ITEM%03d.LZ", item + 1);
    return JoinPath(path, Layout.WorkDir, name);
}

bool DiskLabel(int disk, char (&label)[kDiskLen]) {
    char number[12];
    FormatText(number, "%d", disk);
    label[0] = '\0';
    bool whole = true;
    for (const char* p = Layout.Label; *p != '\0';) {
        if (p[0] == '%' && p[1] == 'd') {
            whole = AppendText(label, number) && whole;
            p += 2;
            continue;
        }
        const char one[] = {*p++, '\0'};
        whole = AppendText(label, one) && whole;
    }
    return whole;
}

bool DiskDirectory(int disk, char (&path)[kPathLen]) {
    char name[16];
    FormatText(name, "DISK%d", disk);
    return JoinPath(path, Layout.OutDir, name);
}
