#include "layout/plan.h"

#include <string.h>
#include <windows.h>

namespace {

// What the FAT12 floppies give files: clusters of the data area and root
// entries, as mformat writes them.
constexpr struct {
    const char* Name;
    DiskFormat Format;
} kPresets[] = {
    {"1.44M", {512, 2847, 224}}, {"1.2M", {512, 2371, 224}}, {"720K", {1024, 713, 112}},
    {"360K", {1024, 354, 112}},  {"CD", {1, 0, 0}},
};

// Characters an 8.3 name may hold besides capitals and digits.
constexpr char kShortNameMarks[] = "!#$%&'()-@^_`{}~";

bool ShortNamePart(const char* text, size_t length, size_t most) {
    if (length == 0 || length > most) return false;
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || strchr(kShortNameMarks, c) != nullptr))
            return false;
    }
    return true;
}

// True when name is taken on the medium: by an item's file, disk 1's own
// files, or a piece named so far (letter case aside).
bool Taken(const char* name) {
    if (lstrcmpiA(name, "SETUP.EXE") == 0 || lstrcmpiA(name, "QUILL95.INI") == 0) return true;
    for (int i = 0; i < Layout.ItemCount; ++i)
        if (lstrcmpiA(Layout.Items[i].FileName, name) == 0) return true;
    for (int p = 0; p < Layout.PieceCount; ++p)
        if (lstrcmpiA(Layout.Pieces[p].Name, name) == 0) return true;
    return false;
}

// Piece k (from 2) of an item: the first piece's name less its extension,
// cut to eight characters, with k as its extension (SKAI.002); where that
// can't be an 8.3 name or is taken, Q and a number instead (Q0000001.002).
void NamePiece(const SourceItem& item, int k, char (&name)[kPathLen]) {
    char base[9] = "";
    const char* dot = strrchr(item.FileName, '.');
    size_t length = dot != nullptr ? static_cast<size_t>(dot - item.FileName) : strlen(item.FileName);
    if (length > 8) length = 8;
    CopyTextN(base, length + 1, item.FileName);
    for (char& c : base)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!ShortNamePart(base, length, 8)) base[0] = '\0';
    FormatText(name, "%s.%03d", base, k);
    for (unsigned long n = 1; base[0] == '\0' || Taken(name); ++n) {
        FormatText(base, "Q%07lu", n);
        FormatText(name, "%s.%03d", base, k);
    }
}

}  // namespace

bool ParseDiskSize(const char* text, DiskFormat* format) {
    for (const auto& preset : kPresets) {
        if (lstrcmpiA(text, preset.Name) == 0) {
            *format = preset.Format;
            return true;
        }
    }
    const size_t digits = strspn(text, "0123456789");
    if (digits == 0 || text[digits] != '\0' || digits > 9) return false;
    unsigned long bytes = 0;
    for (size_t i = 0; i < digits; ++i) bytes = bytes * 10 + static_cast<unsigned long>(text[i] - '0');
    if (bytes == 0) return false;
    *format = {1, bytes, 0};
    return true;
}

unsigned long ClustersOf(const DiskFormat& format, unsigned long bytes) {
    const unsigned long size = format.ClusterBytes;
    return bytes / size + (bytes % size != 0 ? 1 : 0);
}

int EntriesOf(const char* name) {
    const char* dot = strchr(name, '.');
    const size_t base = dot != nullptr ? static_cast<size_t>(dot - name) : strlen(name);
    if (ShortNamePart(name, base, 8) && (dot == nullptr || ShortNamePart(dot + 1, strlen(dot + 1), 3)))
        return 1;
    const int characters = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0) - 1;
    return 1 + (characters + 12) / 13;
}

PlanResult PlanPieces(unsigned long descriptionBytes, int* item) {
    const DiskFormat& format = Layout.Format;
    const bool unlimited = format.Clusters == 0;
    // What is left on the disk being filled.
    unsigned long clusters = format.Clusters;
    int entries = format.RootEntries;
    const unsigned long disk1Clusters =
        ClustersOf(format, Layout.SetupBytes) + ClustersOf(format, descriptionBytes);
    if (!unlimited && disk1Clusters > clusters) return kNoRoomOnDisk1;
    if (format.RootEntries != 0 && format.RootEntries < 2) return kNoRoomOnDisk1;
    clusters -= unlimited ? 0 : disk1Clusters;
    entries -= 2;
    Layout.PieceCount = 0;
    Layout.DiskCount = 1;
    for (int i = 0; i < Layout.ItemCount; ++i) {
        SourceItem& source = Layout.Items[i];
        source.FirstPiece = Layout.PieceCount;
        source.Pieces = 0;
        unsigned long offset = 0;
        for (;;) {
            if (Layout.PieceCount == kMaxPieces) {
                *item = i;
                return kTooManyPieces;
            }
            PlannedPiece& piece = Layout.Pieces[Layout.PieceCount];
            if (source.Pieces == 0)
                CopyText(piece.Name, source.FileName);
            else
                NamePiece(source, source.Pieces + 1, piece.Name);
            const unsigned long left = source.Bytes - offset;
            const unsigned long room = unlimited ? left : clusters * format.ClusterBytes;
            const int need = EntriesOf(piece.Name);
            if ((format.RootEntries != 0 && entries < need) || (room == 0 && left > 0)) {
                // The next disk, empty.
                ++Layout.DiskCount;
                clusters = format.Clusters;
                entries = format.RootEntries;
                continue;
            }
            piece.Item = i;
            piece.Disk = Layout.DiskCount;
            piece.Offset = offset;
            piece.Bytes = left < room ? left : room;
            if (!unlimited) clusters -= ClustersOf(format, piece.Bytes);
            entries -= need;
            offset += piece.Bytes;
            ++source.Pieces;
            ++Layout.PieceCount;
            if (offset == source.Bytes) break;
        }
    }
    return kPlanned;
}
