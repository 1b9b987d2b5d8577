// What SETUP.EXE would make of the description's texts: the value that made
// the loader refuse it, texts cut at their buffers, destinations, group and
// item names Program Manager is not sent, table keys not used.
#include <string.h>
#include <windows.h>

#include "check/check.h"
#include "check/report.h"
#include "common/messages.h"
#include "common/path.h"
#include "install/lzfile.h"
#include "install/misc.h"
#include "res/resource.h"
#include "setup/catalogue.h"
#include "setup/loader.h"

namespace {

// A value as the description holds it, read whole (up to 1023 bytes).
char Raw[1024];
constexpr int kMissing = -1;
// The loader's buffer for a Mode or Layout text: 8 characters.
constexpr int kHexLen = 9;

// The length of key's value, now in Raw, or kMissing.
int ReadRaw(const char* section, const char* key) {
    const DWORD n =
        GetPrivateProfileStringA(section, key, "\x7F", Raw, sizeof Raw, SetupInfo.SetupFilePath);
    return n == 1 && Raw[0] == '\x7F' ? kMissing : static_cast<int>(n);
}

// The length of key's value when the loader's buffer of size bytes cut it,
// else 0.
int CutLength(const char* section, const char* key, int size) {
    const int n = ReadRaw(section, key);
    return n > size - 1 ? n : 0;
}

// What a count past its limit passed.
const char* Limit(const char* section, const char* key) {
    if (lstrcmpiA(section, "Fonts") == 0) return "at most 120 fonts";
    if (lstrcmpiA(section, "Misc") == 0 || lstrcmpiA(section, "Tbls") == 0)
        return "at most 40 items";
    const size_t n = strlen(key);
    if (n >= 7 && lstrcmpiA(key + n - 7, " AFiles") == 0) return "face names past 120 in all";
    return "pieces past 120 in all";
}

// Reports key's value when the loader's buffer of size bytes cut it, to
// kept: what follows is then, and kept.
void ReportCut(Severity severity, const char* section, const char* key, int size, const char* kept,
               const char* then) {
    if (const int length = CutLength(section, key, size))
        Report(severity, section, key, "is %d bytes, and SETUP.EXE keeps %d: %s \"%s\"", length,
               static_cast<int>(strlen(kept)), then, kept);
}

// The item's name, and each piece's File and Disk.
void CheckItemTexts(const char* listSection, const char* word, int n, const char* section,
                    const char* name, int firstPiece, int files) {
    ReportCut(kWarning, listSection, NumberKey(word, n), kNameLen, name,
              "it reads the item's keys under the name");
    for (int k = 1; k <= files; ++k) {
        const int piece = firstPiece + k - 1;
        ReportCut(kError, section, ItemKey(name, "File", k), kPathLen, SetupInfo.Pieces.File[piece],
                  "it looks for");
        ReportCut(kWarning, section, ItemKey(name, "Disk", k), kDiskLen,
                  SetupInfo.Pieces.Disk[piece], "its disk prompt asks for");
    }
}

// Where the file of an accessory file or table goes, and whether
// SETUP.EXE builds it there; path is set when it does.
bool CheckDstDir(const FileItem& item, char (&path)[kPathLen]) {
    const char* key = ItemKey(item.Name, "DstDir");
    const int length = ReadRaw(item.Section, key);
    const bool usable = Destination(item, path);
    char joined[kPathLen];
    JoinPath(joined, item.DstDir, SetupInfo.Pieces.File[item.FirstPiece]);
    const char* refused = BuildMessage(IDS_CANT_CREATE_FILE, joined);
    if (length > kPathLen - 1) {
        const int kept = static_cast<int>(strlen(item.DstDir));
        if (usable)
            Report(kError, item.Section, key,
                   "is %d bytes, and SETUP.EXE keeps %d: the file goes to %s", length, kept, path);
        else
            Report(kError, item.Section, key,
                   "is %d bytes, and SETUP.EXE keeps %d: it shows message 12, \"%s\"", length, kept,
                   refused);
        return usable;
    }
    if (length > 0 && !IsFullPath(Raw)) {
        if (usable)
            Report(kWarning, item.Section, key,
                   "\"%s\" is relative: taken from the Windows directory, the file goes to %s", Raw,
                   path);
        else
            Report(kError, item.Section, key,
                   "\"%s\" is relative, and too long to be taken from the Windows directory: "
                   "SETUP.EXE shows message 12, \"%s\"",
                   Raw, refused);
        return usable;
    }
    if (length == 0 && usable)
        Report(kWarning, item.Section, key,
               "is empty, which counts as missing: the file goes to %s", path);
    if (!usable) {
        Report(kError, item.Section, key, "SETUP.EXE shows message 12, \"%s\"", refused);
    } else if (!FitsRecord(path)) {
        Report(kError, item.Section, key,
               "%s passes the 127 characters of the open-file record: SETUP.EXE shows message "
               "12, \"%s\"",
               path, refused);
        return false;
    }
    return usable;
}

void CheckMisc(int index) {
    const MiscItem& item = SetupInfo.MiscItems[index];
    CheckItemTexts("Misc", "Item", index + 1, "Misc Files", item.Name, item.FirstPiece, item.Files);
    char path[kPathLen];
    if (!CheckDstDir(FileItemAt(index), path) || item.Group[0] == '\0') return;
    if (const char* reason = ProgmanRefusal(item, path))
        Report(kWarning, "Misc Files", ItemKey(item.Name, "Group"),
               "the file gets no Program Manager item: %s", reason);
}

void CheckFont(int index) {
    const FontItem& font = SetupInfo.FontItems[index];
    CheckItemTexts("Fonts", "Font", index + 1, "Font Files", font.Name, font.FirstPiece,
                   font.Files);
    ReportCut(kError, "Font Files", ItemKey(font.Name, "FontName"), kNameLen, font.FontName,
              "it looks for the base font as");
    for (int k = 1; k <= font.AFiles; ++k)
        ReportCut(kError, "Font Files", ItemKey(font.Name, "AFontName", k), kPathLen,
                  SetupInfo.AFontNameTable[font.FirstAFontName + k - 1], "it links the font as");
}

void CheckTable(int index) {
    const TableItem& table = SetupInfo.TableItems[index];
    CheckItemTexts("Tbls", "Tbl", index + 1, "Tbls Files", table.Name, table.FirstPiece,
                   table.Files);
    char path[kPathLen];
    CheckDstDir(FileItemAt(SetupInfo.MiscCount + index), path);
    const char* key = ItemKey(table.Name, "UserKey");
    if (table.UserKeyCut)
        Report(kError, "Tbls Files", key,
               "is %d bytes, more than the 71 SETUP.EXE holds: the table is installed, not "
               "registered",
               ReadRaw("Tbls Files", key));
    else if (table.UserKey[0] == '\0')
        Report(kError, "Tbls Files", key, "is empty: the table is installed, not registered");
    const struct {
        const char* Suffix;
        uint32_t Value;
    } numbers[] = {{"Mode", table.Mode}, {"Layout", table.Layout}};
    for (const auto& number : numbers) {
        key = ItemKey(table.Name, number.Suffix);
        if (const int length = CutLength("Tbls Files", key, kHexLen))
            Report(kError, "Tbls Files", key,
                   "is %d characters, and SETUP.EXE reads the first 8: it writes 0x%lX", length,
                   static_cast<unsigned long>(number.Value));
    }
}

}  // namespace

void ReportLoadProblem() {
    const LoadProblem& problem = SetupProblem;
    ReadRaw(problem.Section, problem.Key);
    char why[kMessageLen];
    switch (problem.Why) {
        case kProblemMissing:
            CopyText(why, "missing");
            break;
        case kProblemEmpty:
            CopyText(why, "empty");
            break;
        case kProblemNotNumber:
            FormatText(why, "not a number: \"%s\"", Raw);
            break;
        case kProblemOutOfRange:
            FormatText(why, "out of range: %s", Raw);
            break;
        default:
            FormatText(why, "too many: %s (%s)", Raw, Limit(problem.Section, problem.Key));
            break;
    }
    LoadMessage(IDS_BAD_SETUP_FILE);
    Report(kError, problem.Section, problem.Key, "%s: SETUP.EXE shows message 11, \"%s\", and ends",
           why, LoadedText);
}

void CheckTexts() {
    for (int i = 0; i < SetupInfo.MiscCount; ++i) CheckMisc(i);
    for (int i = 0; i < SetupInfo.FontCount; ++i) CheckFont(i);
    for (int i = 0; i < SetupInfo.TableCount; ++i) CheckTable(i);
}
