#include "check/model.h"

#include <windows.h>

#include "setup/catalogue.h"

unsigned long long ExpandedBytes = 0;

namespace {

// The disk labels in the order they first come, and their directories
// (empty: none given).
struct Disks {
    char Name[kMaxPieces][kDiskLen];
    char Dir[kMaxPieces][kPathLen];
    int Count;
} Medium;

// label without its blanks, for comparing without regard to case. Walked
// by characters: a second byte of code page 950 may be a blank's byte.
void Squeezed(const char* label, char (&out)[kDiskLen]) {
    size_t n = 0;
    for (const char* p = label; *p != '\0';) {
        const char* next = CharNextA(p);
        const bool blank = next - p == 1 && (*p == ' ' || *p == '\t');
        if (!blank) {
            if (n + static_cast<size_t>(next - p) >= sizeof out) break;
            while (p < next) out[n++] = *p++;
        }
        p = next;
    }
    out[n] = '\0';
}

}  // namespace

ItemView ViewOf(ItemKind kind, int index) {
    if (kind == kMiscKind) {
        const MiscItem& m = SetupInfo.MiscItems[index];
        return {kind, "Misc", "Item", "Misc Files", m.Name, m.DstDir, m.Files, m.FirstPiece, m.Compressed};
    }
    if (kind == kTableKind) {
        const TableItem& t = SetupInfo.TableItems[index];
        return {kind, "Tbls", "Tbl", "Tbls Files", t.Name, t.DstDir, t.Files, t.FirstPiece, t.Compressed};
    }
    const FontItem& f = SetupInfo.FontItems[index];
    return {kind, "Fonts", "Font", "Font Files", f.Name, SetupInfo.TargetDir, f.Files, f.FirstPiece, 0};
}

int EveryStep(RunStep (&steps)[kMaxRunSteps]) {
    int fonts[kMaxFontItems];
    for (int i = 0; i < SetupInfo.FontCount; ++i) fonts[i] = i;
    return RunSteps(fonts, SetupInfo.FontCount, steps);
}

ItemView OwnerOf(int piece, int* k) {
    const struct {
        ItemKind Kind;
        int Count;
    } kinds[] = {{kMiscKind, SetupInfo.MiscCount},
                 {kFontKind, SetupInfo.FontCount},
                 {kTableKind, SetupInfo.TableCount}};
    for (const auto& kind : kinds) {
        for (int i = 0; i < kind.Count; ++i) {
            const ItemView item = ViewOf(kind.Kind, i);
            if (piece >= item.FirstPiece && piece < item.FirstPiece + item.Files) {
                *k = piece - item.FirstPiece + 1;
                return item;
            }
        }
    }
    *k = 0;
    return ViewOf(kFontKind, 0);
}

int UsedPieces() {
    int pieces = 0;
    for (int i = 0; i < SetupInfo.MiscCount; ++i) pieces += SetupInfo.MiscItems[i].Files;
    for (int i = 0; i < SetupInfo.FontCount; ++i) pieces += SetupInfo.FontItems[i].Files;
    for (int i = 0; i < SetupInfo.TableCount; ++i) pieces += SetupInfo.TableItems[i].Files;
    return pieces;
}

int DiskCount() { return Medium.Count; }
const char* DiskName(int disk) { return Medium.Name[disk]; }

const char* DiskDir(int disk) {
    if (disk < 0 || disk >= Medium.Count || Medium.Dir[disk][0] == '\0') return nullptr;
    return Medium.Dir[disk];
}

int DiskOf(const char* label) {
    char wanted[kDiskLen];
    Squeezed(label, wanted);
    for (int disk = 0; disk < Medium.Count; ++disk) {
        char name[kDiskLen];
        Squeezed(Medium.Name[disk], name);
        if (lstrcmpiA(name, wanted) == 0) return disk;
    }
    return -1;
}

int AddDisk(const char* label) {
    CopyText(Medium.Name[Medium.Count], label);
    Medium.Dir[Medium.Count][0] = '\0';
    return Medium.Count++;
}

void SetDiskDir(int disk, const char* dir) { CopyText(Medium.Dir[disk], dir); }

void ForgetDisks() { Medium.Count = 0; }
