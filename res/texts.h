// The fixed texts the user may read that are not in the string table: the
// English diagnostics, the few Chinese (Big5) and Japanese (Shift-JIS) texts
// the program formats itself, kept as their bytes, and the fallbacks.
#pragma once

// Title of every message box when IDS_CAPTION can't be loaded.
constexpr char kFallbackCaption[] = "Quillworks TT Font Installer";
// What ShowError says when its string is missing: the string's number.
constexpr char kMissingMessage[] = "Error %d";
// The About box's line 101.
constexpr char kBuildDate[] = "Sep 10 1997";

// English diagnostics. A table's UserKey can't be opened or made (the key
// named), or a value can't be written under it.
constexpr char kCantCreateKey[] = "Can't Create Key %s";
constexpr char kCantWriteKey[] = "Can't write to key %s";
// What kCantCreateKey names for an empty UserKey: the root it would write to.
constexpr char kUserRoot[] = "HKEY_CURRENT_USER\\";
// A font's links: EUDC\950 can't be opened or made, or a link can't be written.
constexpr char kCantCreateEudcKey[] = "Can't Create Key EUDC\\950";
constexpr char kCantLinkFont[] = "Can't create link with TTE";
// EnableEUDC can't be had: GDI32 does not load, or does not export it.
constexpr char kNoGdiLibrary[] = "LoadLibrary Failed";
constexpr char kNoEnableEudc[] = "GetProcAddress Failed";

// The font's name, then " 所對應的Wren字形沒有安裝，請先安裝Wren字形!" in
// Big5: the Wren font it belongs to is not installed; install it first.
constexpr char kBaseFontMissing[] =
    "%s \xA9\xD2\xB9\xEF\xC0\xB3\xAA\xBAWren\xA6r\xA7\xCE\xA8S\xA6\xB3\xA6w\xB8\xCB\xA1"
    "A\xBD\xD0\xA5\xFD\xA6w\xB8\xCBWren\xA6r\xA7\xCE!";

// "無法開啟檔案 %s !\n" in Big5: cannot open file %s!, in the disk prompt's
// box with the title "ReRe".
constexpr char kCannotOpen[] = "\xB5L\xAAk\xB6}\xB1\xD2\xC0\xC9\xAE\xD7 %s !\n";
constexpr char kCannotOpenTitle[] = "ReRe";

// "所需磁碟空間: %lu.%luM\n 大於尚餘磁碟空間: %luK" (and ...M) in Big5:
// disk space needed, more than the disk space left.
constexpr char kNeedMoreKb[] =
    "\xA9\xD2\xBB\xDD\xBA\xCF\xBA\xD0\xAA\xC5\xB6\xA1: %lu.%luM\n \xA4j\xA9\xF3\xA9|\xBEl\xBA\xCF"
    "\xBA\xD0\xAA\xC5\xB6\xA1: %luK";
constexpr char kNeedMoreMb[] =
    "\xA9\xD2\xBB\xDD\xBA\xCF\xBA\xD0\xAA\xC5\xB6\xA1: %lu.%luM\n \xA4j\xA9\xF3\xA9|\xBEl\xBA\xCF"
    "\xBA\xD0\xAA\xC5\xB6\xA1: %luM";
// The title of that box, "Quillset インストーラ" (Quillset installer), kept
// as the Shift-JIS bytes it always was.
constexpr char kSpaceTitle[] = "Quillset \x83" "C\x83\x93\x83X\x83g\x81[\x83\x89";
