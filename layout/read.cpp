#include "layout/read.h"

#include <string.h>
#include <windows.h>

#include "common/path.h"
#include "common/report.h"
#include "layout/model.h"
#include "layout/plan.h"
#include "setup/loader.h"

// Every value is asked of the platform's profile reader, as the loader asks
// for the description's; what the loader would refuse in the description
// made from it, or read as something else, is refused here, by the same
// limits.

namespace {

constexpr char kMedium[] = "Medium";
constexpr char kDefaultLabel[] = "Disk %d";
constexpr char kDigits[] = "0123456789";

char Value[1024];

// The full path of a file the layout names: relative to the layout file's
// directory. false when it does not fit.
bool ResolvePath(const char* given, char (&full)[kPathLen]) {
    char joined[kPathLen];
    const bool ownRoot = given[0] == '\\' || (given[0] != '\0' && given[1] == ':');
    if (!(ownRoot ? CopyText(joined, given) : JoinPath(joined, Layout.LayoutDir, given)))
        return false;
    const DWORD n = GetFullPathNameA(joined, kPathLen, full, nullptr);
    return n > 0 && n < static_cast<DWORD>(kPathLen);
}

// The size of a file that can be opened for reading; false for one that
// can't, or that is 2 GiB or more (the library's offsets are a long).
bool SizeOf(const char* path, unsigned long* bytes) {
    const HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR) return false;
    const LONG end = _llseek(file, 0, FILE_END);
    _lclose(file);
    if (end < 0) return false;
    *bytes = static_cast<unsigned long>(end);
    return true;
}

// A text the loader reads into size bytes: false (said) when it is longer,
// or missing or empty where the description needs it.
bool CheckText(const char* section, const char* key, int size, bool required) {
    const char* value = nullptr;
    const int n = ReadLayoutValue(section, key, &value);
    if (n <= 0 && required) {
        Report(kError, section, key, "%s: the description needs it", n < 0 ? "missing" : "empty");
        return false;
    }
    if (n > size - 1) {
        Report(kError, section, key, "is %d bytes, and SETUP.EXE keeps %d", n, size - 1);
        return false;
    }
    return true;
}

// A number the loader reads with the platform's number reader: a missing
// one is 0; one that is not all digits is refused (SETUP.EXE would read
// only its leading digits); it must lie within least and most.
bool ReadNumber(const char* section, const char* key, int least, int most, int* number) {
    const char* value = nullptr;
    const int n = ReadLayoutValue(section, key, &value);
    *number = 0;
    if (n >= 0 && (n == 0 || strspn(value, kDigits) != static_cast<size_t>(n))) {
        Report(kError, section, key, "\"%s\" is not a number", value);
        return false;
    }
    for (int i = 0; i < n && *number <= most; ++i) *number = *number * 10 + (value[i] - '0');
    if (*number < least || *number > most) {
        Report(kError, section, key, "is %s: it must be %d to %d", n < 0 ? "missing" : value, least, most);
        return false;
    }
    return true;
}

// A hexadecimal text read as far as its digits go, as the loader reads it.
bool CheckHex(const char* section, const char* key) {
    const char* value = nullptr;
    if (ReadLayoutValue(section, key, &value) <= 0) return true;
    const char* end = nullptr;
    HexValue(value, &end);
    if (*end == '\0') return true;
    Report(kError, section, key, "\"%s\" is not hexadecimal: SETUP.EXE would stop at \"%s\"", value, end);
    return false;
}

// A name that can stand in a key of the description: no equals sign, which
// ends a key, and no start that makes the line a section or a comment.
bool Keyable(const char* name) {
    return strchr(name, '=') == nullptr && name[0] != '[' && name[0] != ';';
}

// The item's name, checked, into item.Name.
bool ReadName(const KindKeys& keys, int number, SourceItem& item) {
    const char* key = NumberKey(keys.Word, number);
    if (!CheckText(keys.List, key, kNameLen, true)) return false;
    const char* value = nullptr;
    ReadLayoutValue(keys.List, key, &value);
    if (!Keyable(value)) {
        Report(kError, keys.List, NumberKey(keys.Word, number),
               "\"%s\" can't be written as a key: it holds = or starts with [ or ;", value);
        return false;
    }
    CopyText(item.Name, value);
    for (int i = 0; i < Layout.ItemCount; ++i) {
        if (Layout.Items[i].Kind != item.Kind || lstrcmpiA(Layout.Items[i].Name, item.Name) != 0)
            continue;
        Report(kError, keys.List, NumberKey(keys.Word, number),
               "\"%s\" is the name of %s%d too: both would read the same keys", item.Name, keys.Word,
               Layout.Items[i].Number);
        return false;
    }
    return true;
}

// The item's whole source file: there, readable, and the only one of its
// name on the medium (the first piece keeps it).
bool ReadSource(const KindKeys& keys, SourceItem& item) {
    const char* key = ItemKey(item.Name, "Source");
    if (!CheckText(keys.Files, key, kPathLen, true)) return false;
    const char* value = nullptr;
    ReadLayoutValue(keys.Files, ItemKey(item.Name, "Source"), &value);
    if (!ResolvePath(value, item.Source) || !SizeOf(item.Source, &item.SourceBytes)) {
        Report(kError, keys.Files, ItemKey(item.Name, "Source"), "\"%s\" can't be read", value);
        return false;
    }
    char* slash = FindLastBackslash(item.Source);
    CopyText(item.FileName, slash != nullptr ? slash + 1 : item.Source);
    const char* taken = nullptr;
    if (lstrcmpiA(item.FileName, "SETUP.EXE") == 0 || lstrcmpiA(item.FileName, "QUILL95.INI") == 0)
        taken = "disk 1's own";
    for (int i = 0; taken == nullptr && i < Layout.ItemCount; ++i)
        if (lstrcmpiA(Layout.Items[i].FileName, item.FileName) == 0) taken = Layout.Items[i].Name;
    if (taken == nullptr) return true;
    Report(kError, keys.Files, ItemKey(item.Name, "Source"),
           "its name, %s, is %s too: SETUP.EXE would take one file for the other", item.FileName,
           taken);
    return false;
}

// The keys the description passes on, and a font's face names.
bool ReadPassedKeys(const KindKeys& keys, SourceItem& item, int* faces) {
    int count = 0;
    const PassedKey* passed = PassedKeys(item.Kind, &count);
    for (int i = 0; i < count; ++i) {
        if (!CheckText(keys.Files, ItemKey(item.Name, passed[i].Suffix), passed[i].Size,
                       passed[i].Required))
            return false;
        if (passed[i].Hex && !CheckHex(keys.Files, ItemKey(item.Name, passed[i].Suffix)))
            return false;
    }
    if (item.Kind != kFontKind) {
        int compressed = 0;
        if (!ReadNumber(keys.Files, ItemKey(item.Name, "Compressed"), 0, 1, &compressed)) return false;
        item.Compressed = compressed;
        return true;
    }
    int faceCount = 0;
    if (!ReadNumber(keys.Files, ItemKey(item.Name, "AFiles"), 1, kMaxFaceNames - *faces, &faceCount))
        return false;
    *faces += faceCount;
    for (int k = 1; k <= faceCount; ++k)
        if (!CheckText(keys.Files, ItemKey(item.Name, "AFontName", k), kPathLen, true)) return false;
    return true;
}

bool ReadMedium(const char* programDir) {
    const char* value = nullptr;
    const int sizeLength = ReadLayoutValue(kMedium, "DiskSize", &value);
    if (sizeLength <= 0 || !ParseDiskSize(value, &Layout.Format)) {
        Report(kError, kMedium, "DiskSize", "%s: it must be 1.44M, 1.2M, 720K, 360K, CD or a number of bytes",
               sizeLength < 0 ? "missing" : value);
        return false;
    }
    const int labelLength = ReadLayoutValue(kMedium, "Label", &value);
    if (labelLength == 0 || labelLength >= static_cast<int>(sizeof Layout.Label)) {
        Report(kError, kMedium, "Label", "%s", labelLength == 0 ? "empty" : "too long for a disk label");
        return false;
    }
    CopyText(Layout.Label, labelLength > 0 ? value : kDefaultLabel);
    if (strpbrk(Layout.Label, "=\"") != nullptr) {
        Report(kError, kMedium, "Label", "\"%s\" holds = or \": the checker is given each disk as LABEL=DIR",
               Layout.Label);
        return false;
    }
    char label[kDiskLen];
    if (!DiskLabel(kMaxPieces, label)) {
        Report(kError, kMedium, "Label", "\"%s\" is longer than the %d bytes of a disk label",
               Layout.Label, kDiskLen - 1);
        return false;
    }
    char given[kPathLen];
    bool resolved = false;
    if (!CheckText(kMedium, "Setup", kPathLen, false)) return false;
    if (ReadLayoutValue(kMedium, "Setup", &value) > 0) {
        CopyText(given, value);
        resolved = ResolvePath(given, Layout.Setup);
    } else {
        resolved = JoinPath(given, programDir, "SETUP.EXE") && CopyText(Layout.Setup, given);
    }
    if (!resolved || !SizeOf(Layout.Setup, &Layout.SetupBytes)) {
        Report(kError, kMedium, "Setup", "\"%s\" can't be read", given);
        return false;
    }
    return true;
}

}  // namespace

int ReadLayoutValue(const char* section, const char* key, const char** value) {
    *value = Value;
    const DWORD n =
        GetPrivateProfileStringA(section, key, "\x7F", Value, sizeof Value, Layout.LayoutPath);
    return n == 1 && Value[0] == '\x7F' ? -1 : static_cast<int>(n);
}

bool ReadLayout(const char* programDir) {
    Layout.ItemCount = 0;
    if (!ReadMedium(programDir)) return false;
    int faces = 0;
    // In the order a run installs them.
    constexpr ItemKind kKinds[] = {kMiscKind, kTableKind, kFontKind};
    for (ItemKind kind : kKinds) {
        const KindKeys& keys = KeysOf(kind);
        int count = 0;
        if (!ReadNumber(keys.List, keys.Count, keys.Least, keys.Most, &count)) return false;
        Layout.Counts[kind] = count;
        for (int number = 1; number <= count; ++number) {
            SourceItem& item = Layout.Items[Layout.ItemCount];
            item = SourceItem{};
            item.Kind = kind;
            item.Number = number;
            if (!ReadName(keys, number, item) || !ReadSource(keys, item) ||
                !ReadPassedKeys(keys, item, &faces))
                return false;
            item.Bytes = item.SourceBytes;
            ++Layout.ItemCount;
        }
    }
    return true;
}
