#include "layout/write.h"

#include <windows.h>

#include "common/path.h"
#include "common/report.h"
#include "layout/describe.h"
#include "layout/model.h"

namespace {

// Copies length bytes of from, from offset on, into a new file to. false
// when anything falls short: a read, or a write (a full disk).
bool CopyPart(const char* from, unsigned long offset, unsigned long length, const char* to) {
    static char buffer[1UL << 15];
    const HFILE source = _lopen(from, OF_READ);
    const HFILE target = _lcreat(to, 0);
    bool whole = source != HFILE_ERROR && target != HFILE_ERROR &&
                 _llseek(source, static_cast<LONG>(offset), FILE_BEGIN) == static_cast<LONG>(offset);
    while (whole && length > 0) {
        const UINT n = length < sizeof buffer ? static_cast<UINT>(length) : sizeof buffer;
        whole = _lread(source, buffer, n) == n && _lwrite(target, buffer, n) == n;
        length -= n;
    }
    if (source != HFILE_ERROR) _lclose(source);
    if (target != HFILE_ERROR) _lclose(target);
    return whole;
}

bool WriteDisk1Files(const char* disk1) {
    char path[kPathLen];
    JoinPath(path, disk1, "SETUP.EXE");
    if (!CopyPart(Layout.Setup, 0, Layout.SetupBytes, path)) {
        Say("error: %s can't be written", path);
        return false;
    }
    JoinPath(path, disk1, "QUILL95.INI");
    const HFILE file = _lcreat(path, 0);
    const long written = file == HFILE_ERROR ? -1 : WriteDescription(file);
    if (file != HFILE_ERROR) _lclose(file);
    if (written != static_cast<long>(Layout.DescriptionBytes)) {
        Say("error: %s can't be written", path);
        return false;
    }
    return true;
}

}  // namespace

bool MakeOutDir() {
    Layout.OutDirMade = CreateDirectoryA(Layout.OutDir, nullptr) != FALSE;
    const DWORD attributes = GetFileAttributesA(Layout.OutDir);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !CreateDirectoryA(Layout.WorkDir, nullptr)) {
        Say("error: %s can't be made", Layout.OutDir);
        return false;
    }
    return true;
}

bool WriteMedium() {
    for (int disk = 1; disk <= Layout.DiskCount; ++disk) {
        char dir[kPathLen];
        DiskDirectory(disk, dir);
        if (!CreateDirectoryA(dir, nullptr)) {
            Say("error: %s can't be made", dir);
            return false;
        }
        if (disk == 1 && !WriteDisk1Files(dir)) return false;
    }
    for (int p = 0; p < Layout.PieceCount; ++p) {
        const PlannedPiece& piece = Layout.Pieces[p];
        const SourceItem& item = Layout.Items[piece.Item];
        char from[kPathLen];
        char to[kPathLen];
        char dir[kPathLen];
        if (item.Compressed)
            ImagePath(piece.Item, from);
        else
            CopyText(from, item.Source);
        DiskDirectory(piece.Disk, dir);
        if (!JoinPath(to, dir, piece.Name) || !CopyPart(from, piece.Offset, piece.Bytes, to)) {
            Say("error: %s can't be written whole (a full disk?)", to);
            return false;
        }
    }
    return true;
}

void RemoveWork() {
    for (int i = 0; i < Layout.ItemCount; ++i) {
        char image[kPathLen];
        ImagePath(i, image);
        DeleteFileA(image);
    }
    char check[kPathLen];
    JoinPath(check, Layout.WorkDir, "CHECK.TMP");
    DeleteFileA(check);
    RemoveDirectoryA(Layout.WorkDir);
}

void RemoveMedium() {
    RemoveWork();
    for (int disk = 1; disk <= Layout.DiskCount; ++disk) {
        char dir[kPathLen];
        char path[kPathLen];
        DiskDirectory(disk, dir);
        for (int p = 0; p < Layout.PieceCount; ++p)
            if (Layout.Pieces[p].Disk == disk && JoinPath(path, dir, Layout.Pieces[p].Name))
                DeleteFileA(path);
        if (disk == 1) {
            JoinPath(path, dir, "SETUP.EXE");
            DeleteFileA(path);
            JoinPath(path, dir, "QUILL95.INI");
            DeleteFileA(path);
        }
        RemoveDirectoryA(dir);
    }
    if (Layout.OutDirMade) RemoveDirectoryA(Layout.OutDir);
    Layout.OutDirMade = false;
}
