#include "setup/loader.h"

#include <stdlib.h>
#include <windows.h>

#include "common/path.h"
#include "res/resource.h"
#include "setup/catalogue.h"

// Every value is asked of the platform's profile reader, one at a time:
// the loader never parses the file itself.

LoadProblem SetupProblem;

namespace {

constexpr char kSetupFileName[] = "QUILL95.INI";
constexpr int kOk = 0;
constexpr int kBadData = IDS_BAD_SETUP_FILE;

// Longest key: a 71-character name, " AFontName" and three digits.
char Key[kNameLen + 32];

// The value asked for last, and the number it gave (0 for a text): the one
// that made the description wrong when the load fails.
const char* AskedSection;
const char* AskedKey;
int AskedNumber;

// A text cut to fit out never ends in half a double-byte character. Read
// with two bytes to spare, so that a text of exactly N - 1 bytes is told
// from a longer one; cut is set when it did not fit.
template <size_t N>
int ReadText(const char* section, const char* key, char (&out)[N], int32_t* cut = nullptr) {
    AskedSection = section;
    AskedKey = key;
    AskedNumber = 0;
    char text[N + 2];
    const DWORD n =
        GetPrivateProfileStringA(section, key, "", text, N + 2, SetupInfo.SetupFilePath);
    if (cut != nullptr) *cut = n > N - 1 ? 1 : 0;
    if (!CopyText(out, text)) DropPartialCharacter(out);
    return static_cast<int>(TextLength(out));
}

int ReadNumber(const char* section, const char* key) {
    AskedSection = section;
    AskedKey = key;
    const UINT n = GetPrivateProfileIntA(section, key, 0, SetupInfo.SetupFilePath);
    AskedNumber = static_cast<int>(n);
    return AskedNumber;
}

// Keeps what the value asked for last made wrong: a count past its limit
// or below 0; or a text or count that gave nothing or 0, as missing, empty,
// no number or a real 0. It runs once, on the way out.
int Refuse() {
    char text[2];
    const DWORD got = GetPrivateProfileStringA(AskedSection, AskedKey, "\x7F", text, 2,
                                               SetupInfo.SetupFilePath);
    int why = text[0] >= '0' && text[0] <= '9' ? kProblemOutOfRange : kProblemNotNumber;
    if (got == 0) why = kProblemEmpty;
    if (text[0] == '\x7F') why = kProblemMissing;  // the default: no description holds it
    if (AskedNumber != 0) why = AskedNumber > 0 ? kProblemTooMany : kProblemOutOfRange;
    CopyText(SetupProblem.Section, AskedSection);
    CopyText(SetupProblem.Key, AskedKey);
    SetupProblem.Why = why;
    return kBadData;
}

// A run of count entries fits behind total without passing limit. Written
// so that no sum can wrap, whatever count the description gives.
bool RunFits(int total, int count, int limit) {
    return count >= 1 && count <= limit - total;
}

// Reads pieces 1 .. files of the item into the shared table, each File
// before its Disk, and moves the piece total on.
bool ReadPieces(const char* section, const char* name, int files, int& pieceTotal) {
    for (int k = 1; k <= files; ++k) {
        if (ReadText(section, ItemKey(name, "File", k), SetupInfo.Pieces.File[pieceTotal]) == 0)
            return false;
        if (ReadText(section, ItemKey(name, "Disk", k), SetupInfo.Pieces.Disk[pieceTotal]) == 0)
            return false;
        ++pieceTotal;
    }
    return true;
}

// A hexadecimal text of at most eight characters, converted as "%lx" does.
// Any text at all sets the flag, even one without a digit.
void ReadHex(const char* section, const char* key, uint32_t& value, int32_t& has) {
    char text[kHexTextLen];
    value = 0;
    has = 0;
    if (ReadText(section, key, text) == 0) return;
    has = 1;
    const char* end = nullptr;
    value = HexValue(text, &end);
}

// A DstDir as a full path: an empty value counts as none (the Windows
// directory), and a relative one is taken from the Windows directory, so
// that nothing is built in the current directory, which is usually the
// medium. One that would not fit stays as it is, and its item is refused.
void ReadDstDir(const char* section, const char* name, char (&dir)[kPathLen]) {
    char text[kPathLen];
    ReadText(section, ItemKey(name, "DstDir"), text);
    char full[kPathLen];
    bool whole = false;
    if (text[0] == '\0') {
        whole = CopyText(full, SetupInfo.WindowsDir);
    } else if (IsFullPath(text)) {
        whole = CopyText(full, text);
    } else if (text[0] == '\\' || text[1] == ':') {
        // \DIR from the root of the Windows directory's drive, C:DIR from
        // the root of C: (never a drive's remembered directory).
        const char root[] = {text[1] == ':' ? text[0] : SetupInfo.WindowsDir[0], ':', '\\', '\0'};
        whole = JoinPath(full, root, text[0] == '\\' ? text + 1 : text + 2);
    } else {
        whole = JoinPath(full, SetupInfo.WindowsDir, text);
    }
    CopyText(dir, whole ? full : text);
}

// What accessory files and tables share, in the order it is read: the
// n-th name, the pieces, the destination and the compression.
template <typename Item>
bool ReadFileItem(const char* section, const char* word, int n, Item& item, int& pieceTotal) {
    // Static: the problem of a failed load names it after the call.
    static char files[32];
    FormatText(files, "%s Files", section);
    if (ReadText(section, NumberKey(word, n), item.Name) == 0) return false;
    item.Files = ReadNumber(files, ItemKey(item.Name, "Files"));
    if (!RunFits(pieceTotal, item.Files, kMaxPieces)) return false;
    item.FirstPiece = pieceTotal;
    if (!ReadPieces(files, item.Name, item.Files, pieceTotal)) return false;
    ReadDstDir(files, item.Name, item.DstDir);
    item.Compressed = ReadNumber(files, ItemKey(item.Name, "Compressed"));
    return true;
}

// A count of items within least and most, into count; false (and count
// as it was) for any other.
bool ReadCount(const char* section, const char* key, int least, int most, int32_t& count) {
    const int n = ReadNumber(section, key);
    if (n < least || n > most) return false;
    count = n;
    return true;
}

// count accessory files or tables into items, each read by ReadFileItem
// and then by readRest for what is its kind's own.
template <typename Item, typename ReadRest>
int ReadFileItems(const char* section, const char* countKey, const char* word, int most,
                  Item* items, int32_t& count, int& pieceTotal, ReadRest readRest) {
    if (!ReadCount(section, countKey, 0, most, count)) return kBadData;
    for (int n = 1; n <= count; ++n) {
        if (!ReadFileItem(section, word, n, items[n - 1], pieceTotal)) return kBadData;
        readRest(items[n - 1]);
    }
    return kOk;
}

int ReadMiscItems(int& pieceTotal) {
    return ReadFileItems("Misc", "Items", "Item", kMaxMiscItems, SetupInfo.MiscItems,
                         SetupInfo.MiscCount, pieceTotal, [](MiscItem& item) {
                             ReadText("Misc Files", ItemKey(item.Name, "Group"), item.Group,
                                      &item.GroupCut);
                         });
}

int ReadFontItems(int& pieceTotal, int& faceTotal) {
    if (!ReadCount("Fonts", "Fonts", 1, kMaxFontItems, SetupInfo.FontCount)) return kBadData;
    for (int n = 1; n <= SetupInfo.FontCount; ++n) {
        FontItem& font = SetupInfo.FontItems[n - 1];
        if (ReadText("Fonts", NumberKey("Font", n), font.Name) == 0) return kBadData;
        // A negative size would only shrink the space asked for.
        const int size = ReadNumber("Font Files", ItemKey(font.Name, "Size"));
        font.Size = size < 0 ? 0 : size;
        font.Files = ReadNumber("Font Files", ItemKey(font.Name, "Files"));
        if (!RunFits(pieceTotal, font.Files, kMaxPieces)) return kBadData;
        font.FirstPiece = pieceTotal;
        if (ReadText("Font Files", ItemKey(font.Name, "FontName"), font.FontName) == 0)
            return kBadData;
        font.AFiles = ReadNumber("Font Files", ItemKey(font.Name, "AFiles"));
        if (!RunFits(faceTotal, font.AFiles, kMaxFaceNames)) return kBadData;
        font.FirstAFontName = faceTotal;
        // Face names first, although the piece count was tested first.
        for (int k = 1; k <= font.AFiles; ++k) {
            if (ReadText("Font Files", ItemKey(font.Name, "AFontName", k),
                         SetupInfo.AFontNameTable[faceTotal]) == 0)
                return kBadData;
            ++faceTotal;
        }
        if (!ReadPieces("Font Files", font.Name, font.Files, pieceTotal)) return kBadData;
    }
    return kOk;
}

int ReadTableItems(int& pieceTotal) {
    return ReadFileItems("Tbls", "Tbls", "Tbl", kMaxTableItems, SetupInfo.TableItems,
                         SetupInfo.TableCount, pieceTotal, [](TableItem& table) {
                             ReadText("Tbls Files", ItemKey(table.Name, "UserKey"),
                                      table.UserKey, &table.UserKeyCut);
                             ReadHex("Tbls Files", ItemKey(table.Name, "Mode"), table.Mode,
                                     table.HasMode);
                             ReadHex("Tbls Files", ItemKey(table.Name, "Layout"), table.Layout,
                                     table.HasLayout);
                         });
}

}  // namespace

uint32_t HexValue(const char* text, const char** end) {
    char* stop = nullptr;
    const uint32_t value = static_cast<uint32_t>(strtoul(text, &stop, 16));
    *end = stop;
    return value;
}

const char* NumberKey(const char* word, int n) {
    FormatText(Key, "%s%d", word, n);
    return Key;
}

const char* ItemKey(const char* name, const char* suffix) {
    FormatText(Key, "%s %s", name, suffix);
    return Key;
}

const char* ItemKey(const char* name, const char* suffix, int k) {
    FormatText(Key, "%s %s%d", name, suffix, k);
    return Key;
}

int InitSetupDirs(const char* moduleFileName) {
    CopyText(SetupInfo.ModuleDir, moduleFileName);
    // The program's directory, without a trailing backslash: A:\SETUP.EXE
    // gives A:. A name without any backslash leaves the directory empty.
    if (char* slash = FindLastBackslash(SetupInfo.ModuleDir))
        *slash = '\0';
    else
        SetupInfo.ModuleDir[0] = '\0';

    UINT n = GetSystemDirectoryA(SetupInfo.SystemDir, kPathLen);
    if (n == 0 || n >= kPathLen) return IDS_SYSTEM_ERROR;
    n = GetWindowsDirectoryA(SetupInfo.WindowsDir, kPathLen);
    if (n == 0 || n >= kPathLen) return IDS_SYSTEM_ERROR;

    JoinPath(SetupInfo.SetupFilePath, SetupInfo.ModuleDir, kSetupFileName);
    CopyText(SetupInfo.FontsDir, SetupInfo.WindowsDir);
    AppendText(SetupInfo.FontsDir, "\\FONTS");
    CopyText(SetupInfo.SourceDir, SetupInfo.ModuleDir);
    CopyText(SetupInfo.TargetDir, SetupInfo.WindowsDir);
    return kOk;
}

int ReadSetupDescription() {
    // Not through the open-file record, which fails on a path longer than
    // 127 characters although the file is there.
    const DWORD attributes = GetFileAttributesA(SetupInfo.SetupFilePath);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return IDS_NO_SETUP_FILE;

    int pieceTotal = 0;
    int faceTotal = 0;
    int code = ReadMiscItems(pieceTotal);
    if (code == kOk) code = ReadFontItems(pieceTotal, faceTotal);
    if (code == kOk) code = ReadTableItems(pieceTotal);
    // Each refusal comes right after the read of the value it refuses.
    return code == kOk ? kOk : Refuse();
}

int LoadSetupInfo() {
    char moduleFileName[kPathLen];
    const DWORD n = GetModuleFileNameA(nullptr, moduleFileName, kPathLen);
    // A name that filled the buffer was cut (and may lack its terminator).
    if (n == 0 || n >= static_cast<DWORD>(kPathLen)) return IDS_SYSTEM_ERROR;
    const int code = InitSetupDirs(moduleFileName);
    if (code != kOk) return code;
    return ReadSetupDescription();
}
