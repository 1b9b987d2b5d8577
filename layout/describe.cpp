#include "layout/describe.h"

#include <stdlib.h>
#include <string.h>

#include "common/text.h"
#include "layout/model.h"
#include "layout/read.h"
#include "setup/loader.h"

namespace {

// The file's bytes gathered, written in chunks, counted.
char Buffer[1UL << 14];
UINT BufferFill;
HFILE Target;
unsigned long Written;
bool Failed;

void Flush() {
    if (BufferFill > 0 && Target != HFILE_ERROR && _lwrite(Target, Buffer, BufferFill) != BufferFill)
        Failed = true;
    Written += BufferFill;
    BufferFill = 0;
}

void Emit(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        if (BufferFill == sizeof Buffer) Flush();
        Buffer[BufferFill++] = *p;
    }
}

// "key=value" and the line end. A value in quotes, or with blanks at
// either end, goes in quotes: the reader takes off blanks, then one pair.
void Line(const char* key, const char* value) {
    const size_t n = strlen(value);
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted =
        n > 0 && ((n >= 2 && value[0] == '"' && value[n - 1] == '"') || blank(value[0]) || blank(value[n - 1]));
    Emit(key);
    Emit(quoted ? "=\"" : "=");
    Emit(value);
    Emit(quoted ? "\"\r\n" : "\r\n");
}

void NumberLine(const char* key, unsigned long number) {
    char text[16];
    FormatText(text, "%lu", number);
    Line(key, text);
}

// The item's key that the layout gives, passed on as it stands.
void Passed(const SourceItem& item, const char* section, const char* suffix) {
    const char* value = nullptr;
    if (ReadLayoutValue(section, ItemKey(item.Name, suffix), &value) >= 0)
        Line(ItemKey(item.Name, suffix), value);
}

void PieceLines(const SourceItem& item) {
    NumberLine(ItemKey(item.Name, "Files"), static_cast<unsigned long>(item.Pieces));
    for (int k = 1; k <= item.Pieces; ++k) {
        const PlannedPiece& piece = Layout.Pieces[item.FirstPiece + k - 1];
        Line(ItemKey(item.Name, "File", k), piece.Name);
        char label[kDiskLen];
        DiskLabel(piece.Disk, label);
        Line(ItemKey(item.Name, "Disk", k), label);
    }
}

void ItemLines(const SourceItem& item) {
    const char* section = KeysOf(item.Kind).Files;
    int count = 0;
    const PassedKey* passed = PassedKeys(item.Kind, &count);
    if (item.Kind == kFontKind) {
        // Its size in kilobytes, for the free-space check.
        NumberLine(ItemKey(item.Name, "Size"), item.SourceBytes / 1024 + (item.SourceBytes % 1024 != 0));
        PieceLines(item);
        for (int i = 0; i < count; ++i) Passed(item, section, passed[i].Suffix);
        const char* value = nullptr;
        ReadLayoutValue(section, ItemKey(item.Name, "AFiles"), &value);
        Line(ItemKey(item.Name, "AFiles"), value);
        const int faces = static_cast<int>(strtoul(value, nullptr, 10));
        for (int k = 1; k <= faces; ++k) {
            ReadLayoutValue(section, ItemKey(item.Name, "AFontName", k), &value);
            Line(ItemKey(item.Name, "AFontName", k), value);
        }
        return;
    }
    PieceLines(item);
    for (int i = 0; i < count; ++i) Passed(item, section, passed[i].Suffix);
    NumberLine(ItemKey(item.Name, "Compressed"), static_cast<unsigned long>(item.Compressed));
}

}  // namespace

long WriteDescription(HFILE file) {
    Target = file;
    BufferFill = 0;
    Written = 0;
    Failed = false;
    // In the order the loader reads them.
    constexpr ItemKind kKinds[] = {kMiscKind, kFontKind, kTableKind};
    for (ItemKind kind : kKinds) {
        const KindKeys& keys = KeysOf(kind);
        char line[64];
        FormatText(line, "[%s]\r\n", keys.List);
        Emit(line);
        NumberLine(keys.Count, static_cast<unsigned long>(Layout.Counts[kind]));
        for (int i = 0; i < Layout.ItemCount; ++i)
            if (Layout.Items[i].Kind == kind)
                Line(NumberKey(keys.Word, Layout.Items[i].Number), Layout.Items[i].Name);
        FormatText(line, "\r\n[%s]\r\n", keys.Files);
        Emit(line);
        for (int i = 0; i < Layout.ItemCount; ++i)
            if (Layout.Items[i].Kind == kind) ItemLines(Layout.Items[i]);
        Emit("\r\n");
    }
    Flush();
    return Failed ? -1 : static_cast<long>(Written);
}
