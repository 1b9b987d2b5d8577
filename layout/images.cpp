#include "layout/images.h"

#include <windows.h>
// after windows.h, which it needs
#include <lzexpand.h>

#include "common/files.h"
#include "common/path.h"
#include "common/report.h"
#include "install/lzfile.h"
#include "layout/lzcompress.h"
#include "layout/model.h"

namespace {

// The image compressed from the source: its bytes, or -1.
long Compress(const SourceItem& item, const char* image) {
    const HFILE source = _lopen(item.Source, OF_READ);
    const HFILE target = _lcreat(image, 0);
    long written = -1;
    if (source != HFILE_ERROR && target != HFILE_ERROR) {
        const char* last = LastCharacter(item.FileName);
        written = LzCompress(source, item.SourceBytes, target, last != nullptr ? *last : '\0');
    }
    if (source != HFILE_ERROR) _lclose(source);
    if (target != HFILE_ERROR) _lclose(target);
    return written;
}

// The library's own expansion of the image, into check, is the source.
bool ExpandsToSource(const SourceItem& item, const char* image, const char* check) {
    const int lz = OpenLzFile(image);
    if (lz < 0) return false;
    const HFILE target = _lcreat(check, 0);
    const long expanded = target == HFILE_ERROR ? -1 : ExpandAll(lz, target);
    LZClose(lz);
    if (target != HFILE_ERROR) _lclose(target);
    const bool same = expanded == static_cast<long>(item.SourceBytes) && SameBytes(check, item.Source);
    DeleteFileA(check);
    return same;
}

}  // namespace

bool MakeImages() {
    char check[kPathLen];
    JoinPath(check, Layout.WorkDir, "CHECK.TMP");
    for (int i = 0; i < Layout.ItemCount; ++i) {
        SourceItem& item = Layout.Items[i];
        if (!item.Compressed) continue;
        char image[kPathLen];
        ImagePath(i, image);
        const long written = Compress(item, image);
        if (written < 0) {
            Say("error: %s can't be compressed into %s", item.Source, image);
            return false;
        }
        if (!ExpandsToSource(item, image, check)) {
            Say("error: %s, compressed, does not expand to itself through the LZ library", item.Source);
            return false;
        }
        if (static_cast<unsigned long>(written) < item.SourceBytes) {
            item.Bytes = static_cast<unsigned long>(written);
            continue;
        }
        Say("%s (%s) compressed would be %ld bytes of %lu: stored as it is, Compressed=0",
            item.FileName, item.Name, written, item.SourceBytes);
        item.Compressed = 0;
        DeleteFileA(image);
    }
    return true;
}
