// What SETUP.EXE would make of the description's texts: the value that made
// the loader refuse it, texts cut at their buffers or saved in another
// encoding, numbers that are not numbers, destinations, group and item
// names Program Manager is not sent, table keys not used.
#include "check/texts.h"

#include <string.h>
#include <windows.h>

#include "check/model.h"
#include "common/report.h"
#include "common/messages.h"
#include "common/path.h"
#include "install/assemble.h"
#include "install/lzfile.h"
#include "install/misc.h"
#include "res/resource.h"
#include "setup/catalogue.h"
#include "setup/loader.h"

namespace {

// A value as the description holds it, read whole (up to 1023 bytes).
constexpr int kRawLen = 1024;
char Raw[kRawLen];
constexpr int kMissing = -1;

// The length of key's value, now in Raw, or kMissing.
int ReadRaw(const char* section, const char* key) {
    const DWORD n =
        GetPrivateProfileStringA(section, key, "\x7F", Raw, sizeof Raw, SetupInfo.SetupFilePath);
    return n == 1 && Raw[0] == '\x7F' ? kMissing : static_cast<int>(n);
}

// text decoded as UTF-8 into wide when it is that: well formed, with a
// character past ASCII. Code page 950 text hardly ever is: most of its
// first bytes are ones that UTF-8 never starts a character with.
bool DecodeUtf8(const char* text, wchar_t (&wide)[kRawLen]) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    size_t n = 0;
    bool beyondAscii = false;
    while (*p != 0 && n + 2 < ARRAY_COUNT(wide)) {
        unsigned long c = *p++;
        int more = 0;
        unsigned long least = 0;
        if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            least = 0x10000;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            least = 0x800;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            least = 0x80;
        } else if (c >= 0x80) {
            return false;
        }
        if (more > 0) c &= 0x3FUL >> more;  // the lead byte's own bits
        for (int i = 0; i < more; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) return false;  // also at the terminator
            c = (c << 6) | (*p & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        beyondAscii = beyondAscii || more > 0;
        if (c >= 0x10000) {
            c -= 0x10000;
            wide[n++] = static_cast<wchar_t>(0xD800 + (c >> 10));
            c = 0xDC00 + (c & 0x3FF);
        }
        wide[n++] = static_cast<wchar_t>(c);
    }
    wide[n] = L'\0';
    return beyondAscii;
}

// A text the loader keeps in a buffer of size bytes, cut there to kept;
// then says what SETUP.EXE does with what it keeps.
void ReportCut(Severity severity, const char* section, const char* key, int size, const char* kept,
               const char* then) {
    const int length = ReadRaw(section, key);
    if (length > size - 1)
        Report(severity, section, key, "is %d bytes, and SETUP.EXE keeps %d: %s \"%s\"", length,
               static_cast<int>(strlen(kept)), then, kept);
}

// A number the loader read as read: a value that is not all digits is read
// as far as its digits go, and as 0 when it starts with none; ifNone says
// what follows from that 0, at severity.
void CheckNumber(Severity severity, const char* section, const char* key, long read,
                 const char* ifNone) {
    const int length = ReadRaw(section, key);
    if (length <= 0 || strspn(Raw, "0123456789") == static_cast<size_t>(length)) return;
    if (ifNone != nullptr && read == 0 && !(Raw[0] >= '0' && Raw[0] <= '9'))
        Report(severity, section, key, "\"%s\" is not a number: SETUP.EXE reads 0 %s", Raw, ifNone);
    else
        Report(kWarning, section, key, "\"%s\" is not a plain number: SETUP.EXE reads %ld", Raw, read);
}

// A Mode or Layout text: cut at the loader's buffer, or read only as far as
// its hexadecimal digits go.
void CheckHex(const char* section, const char* key, uint32_t value) {
    const int length = ReadRaw(section, key);
    const unsigned long written = value;
    if (length <= 0) return;
    if (length > kHexTextLen - 1) {
        Report(kError, section, key,
               "\"%s\" is %d characters, and SETUP.EXE reads the first %d: it writes 0x%lX", Raw,
               length, kHexTextLen - 1, written);
        return;
    }
    const char* end = Raw;
    HexValue(Raw, &end);
    if (*end != '\0')
        Report(kError, section, key, "\"%s\" is read as 0x%lX: reading stops at \"%s\"", Raw, written,
               end);
}

// The item's name, its Files and each piece's File and Disk.
void CheckItemTexts(const ItemView& item, int n) {
    ReportCut(kWarning, item.ListSection, NumberKey(item.Word, n), kNameLen, item.Name,
              "it reads the item's keys under the name");
    CheckNumber(kError, item.Section, ItemKey(item.Name, "Files"), item.Files, nullptr);
    for (int k = 1; k <= item.Files; ++k) {
        const int piece = item.FirstPiece + k - 1;
        ReportCut(kError, item.Section, ItemKey(item.Name, "File", k), kPathLen,
                  SetupInfo.Pieces.File[piece], "it looks for");
        ReportCut(kWarning, item.Section, ItemKey(item.Name, "Disk", k), kDiskLen,
                  SetupInfo.Pieces.Disk[piece], "its disk prompt asks for");
    }
    if (item.Kind != kFontKind)
        CheckNumber(kError, item.Section, ItemKey(item.Name, "Compressed"), item.Compressed,
                    "and installs the pieces as they are, not expanded");
}

// Where the file of an accessory file or table goes, and whether
// SETUP.EXE builds it there; path is its full path when it does.
bool CheckDstDir(const ItemView& item, char (&path)[kPathLen]) {
    const char* key = ItemKey(item.Name, "DstDir");
    const int length = ReadRaw(item.Section, key);
    char joined[kPathLen];
    const DestinationProblem problem = CheckDestination(item.DstDir, item.FirstPiece, joined);
    const DWORD full = GetFullPathNameA(joined, kPathLen, path, nullptr);
    const bool usable = problem == kDestinationOk && full > 0 && full < static_cast<DWORD>(kPathLen);
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
    if (problem == kDestinationPastRecord)
        Report(kError, item.Section, key,
               "%s passes the %d characters of the open-file record: SETUP.EXE shows message "
               "12, \"%s\"",
               path, kRecordPathMax, refused);
    else if (problem == kDestinationOnMedium)
        Report(kError, item.Section, key,
               "\"%s\" is the medium's own directory: SETUP.EXE shows message 12, \"%s\"",
               item.DstDir, refused);
    else if (!usable)
        Report(kError, item.Section, key, "SETUP.EXE shows message 12, \"%s\"", refused);
    return usable;
}

void CheckMisc(int index) {
    const MiscItem& item = SetupInfo.MiscItems[index];
    const ItemView view = ViewOf(kMiscKind, index);
    CheckItemTexts(view, index + 1);
    char path[kPathLen];
    if (!CheckDstDir(view, path) || item.Group[0] == '\0') return;
    const char* refused = nullptr;
    if (const char* reason = ProgmanRefusal(item, path, &refused)) {
        // A cut group is quoted whole.
        if (item.GroupCut && ReadRaw("Misc Files", ItemKey(item.Name, "Group")) > 0) refused = Raw;
        Report(kWarning, "Misc Files", ItemKey(item.Name, "Group"),
               "\"%s\": the file gets no Program Manager item: %s", refused, reason);
    }
}

void CheckFont(int index) {
    const FontItem& font = SetupInfo.FontItems[index];
    CheckItemTexts(ViewOf(kFontKind, index), index + 1);
    CheckNumber(kWarning, "Font Files", ItemKey(font.Name, "Size"), font.Size,
                "KB, so the free-space check passes too easily");
    ReportCut(kError, "Font Files", ItemKey(font.Name, "FontName"), kNameLen, font.FontName,
              "it looks for the base font as");
    CheckNumber(kError, "Font Files", ItemKey(font.Name, "AFiles"), font.AFiles, nullptr);
    for (int k = 1; k <= font.AFiles; ++k)
        ReportCut(kError, "Font Files", ItemKey(font.Name, "AFontName", k), kPathLen,
                  SetupInfo.AFontNameTable[font.FirstAFontName + k - 1], "it links the font as");
}

void CheckTable(int index) {
    const TableItem& table = SetupInfo.TableItems[index];
    const ItemView view = ViewOf(kTableKind, index);
    CheckItemTexts(view, index + 1);
    char path[kPathLen];
    CheckDstDir(view, path);
    const char* key = ItemKey(table.Name, "UserKey");
    const int length = ReadRaw("Tbls Files", key);
    if (table.UserKeyCut)
        Report(kError, "Tbls Files", key,
               "is %d bytes, more than the %d SETUP.EXE holds (it reads \"%s\"): the table is "
               "installed, not registered",
               length, kNameLen - 1, table.UserKey);
    else if (table.UserKey[0] == '\0')
        Report(kError, "Tbls Files", key, "is empty: the table is installed, not registered");
    CheckHex("Tbls Files", ItemKey(table.Name, "Mode"), table.Mode);
    CheckHex("Tbls Files", ItemKey(table.Name, "Layout"), table.Layout);
}

// What a count past its limit passed.
void Limit(const char* section, const char* key, char (&text)[kMessageLen]) {
    const size_t n = strlen(key);
    if (lstrcmpiA(section, "Fonts") == 0)
        FormatText(text, "at most %d fonts", kMaxFontItems);
    else if (lstrcmpiA(section, "Misc") == 0)
        FormatText(text, "at most %d items", kMaxMiscItems);
    else if (lstrcmpiA(section, "Tbls") == 0)
        FormatText(text, "at most %d items", kMaxTableItems);
    else if (n >= 7 && lstrcmpiA(key + n - 7, " AFiles") == 0)
        FormatText(text, "face names past %d in all", kMaxFaceNames);
    else
        FormatText(text, "pieces past %d in all", kMaxPieces);
}

// The bytes of the description itself, which the profile reader hides:
// a byte-order mark, and whether the whole is UTF-8 with a character past
// ASCII (a file in code page 950 hardly ever is: most of its first bytes
// are ones UTF-8 never starts a character with).
struct FileBytes {
    bool Bom = false;
    bool Utf8 = false;
    char FirstLine[kMessageLen] = "";  // after a mark, less its line end
    char FirstWide[kMessageLen] = "";  // the first line past ASCII
};

bool ScanDescription(FileBytes& f) {
    const HFILE file = _lopen(SetupInfo.SetupFilePath, OF_READ);
    if (file == HFILE_ERROR) return false;
    static unsigned char chunk[4096];
    char line[kMessageLen];
    size_t length = 0;
    int lines = 0;
    bool lineBeyond = false, beyond = false, valid = true, start = true;
    int due = 0;  // continuation bytes still to come
    const auto endLine = [&] {
        line[length] = '\0';
        if (lines++ == 0) CopyText(f.FirstLine, line);
        if (lineBeyond && f.FirstWide[0] == '\0') CopyText(f.FirstWide, line);
        length = 0;
        lineBeyond = false;
    };
    for (UINT n; (n = _lread(file, chunk, sizeof chunk)) != 0 && n != static_cast<UINT>(HFILE_ERROR);) {
        UINT i = 0;
        if (start && n >= 3 && memcmp(chunk, "\xEF\xBB\xBF", 3) == 0) {
            f.Bom = true;
            i = 3;
        }
        start = false;
        for (; i < n; ++i) {
            const unsigned char b = chunk[i];
            if (b == '\n') {
                endLine();
                continue;
            }
            if (b != '\r' && length + 1 < sizeof line) line[length++] = static_cast<char>(b);
            if (due > 0) {
                valid = valid && (b & 0xC0) == 0x80;
                --due;
            } else if (b >= 0xC2 && b <= 0xF4) {
                due = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
                beyond = lineBeyond = true;
            } else if (b >= 0x80) {
                valid = false;
            }
        }
    }
    _lclose(file);
    if (length > 0) endLine();
    f.Utf8 = valid && due == 0 && beyond;
    return true;
}

}  // namespace

void CheckDescriptionFile() {
    FileBytes bytes;
    if (!ScanDescription(bytes)) return;
    if (bytes.Bom)
        Report(kError, nullptr, nullptr,
               "starts with a UTF-8 byte-order mark, which the profile reader of Windows does not "
               "skip: its first line, \"%s\", is then no section name, and that section's keys "
               "are not read",
               bytes.FirstLine);
    if (!bytes.Utf8) return;
    static wchar_t wide[kRawLen];
    char meant[kMessageLen] = "";
    if (DecodeUtf8(bytes.FirstWide, wide) &&
        WideCharToMultiByte(CP_ACP, 0, wide, -1, meant, sizeof meant, nullptr, nullptr) == 0)
        meant[0] = '\0';
    Report(kError, nullptr, nullptr,
           "is saved as UTF-8, not in code page 950: SETUP.EXE reads \"%s\" as \"%s\", so its "
           "names show as other characters and its face names match no face",
           meant, bytes.FirstWide);
}

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
        default: {
            char limit[kMessageLen];
            Limit(problem.Section, problem.Key, limit);
            FormatText(why, "too many: %s (%s)", Raw, limit);
            break;
        }
    }
    LoadMessage(IDS_BAD_SETUP_FILE);
    Report(kError, problem.Section, problem.Key, "%s: SETUP.EXE shows message 11, \"%s\", and ends",
           why, LoadedText);
}

void CheckTexts() {
    CheckNumber(kError, "Misc", "Items", SetupInfo.MiscCount, "and installs no accessory file");
    CheckNumber(kError, "Fonts", "Fonts", SetupInfo.FontCount, nullptr);
    CheckNumber(kError, "Tbls", "Tbls", SetupInfo.TableCount, "and installs no table");
    for (int i = 0; i < SetupInfo.MiscCount; ++i) CheckMisc(i);
    for (int i = 0; i < SetupInfo.FontCount; ++i) CheckFont(i);
    for (int i = 0; i < SetupInfo.TableCount; ++i) CheckTable(i);
}
