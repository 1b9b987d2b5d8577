// Faults met during a real install, one item each, worked through the real
// program: each item says what went wrong in its own message, leaves no
// partial or temporary file, keeps the file that was there, and the run goes
// on to the next item.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/e2e.h"

using namespace qdriver;

namespace {

constexpr char kLockedKey[] = "Software\\QuillTest\\Locked";
constexpr char kVolatileParent[] = "Software\\QuillTest\\Volatile";
constexpr char kVolatileChild[] = "Software\\QuillTest\\Volatile\\Child";
constexpr char kEudcKey[] = "EUDC\\950";
constexpr char kDictionary[] = "User Dictionary";

// Sets the key's access list to one entry: everyone may read it.
bool MakeReadOnly(const char* path) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    EXPLICIT_ACCESS_A entry = {};
    entry.grfAccessPermissions = KEY_READ;
    entry.grfAccessMode = SET_ACCESS;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    entry.Trustee.ptstrName = static_cast<LPSTR>(everyone);
    PACL acl = nullptr;
    bool done = SetEntriesInAclA(1, &entry, nullptr, &acl) == ERROR_SUCCESS &&
                SetSecurityInfo(key, SE_REGISTRY_KEY,
                                DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                nullptr, nullptr, acl, nullptr) == ERROR_SUCCESS;
    LocalFree(acl);
    FreeSid(everyone);
    RegCloseKey(key);
    // Proof that it took: no write access is granted any more.
    HKEY probe;
    if (done && RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_WRITE, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        done = false;
    }
    return done;
}

// The owner may always change the access list: open access again.
void Unlock(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
        SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                        nullptr);
        RegCloseKey(key);
    }
}

// The keys made read-only are opened again before they go.
class Faults : public SetupRun {
protected:
    void SetUp() override {
        for (const char* key : {kLockedKey, kEudcKey}) Unlock(key);
        SetupRun::SetUp();
        for (const std::string* d : {&kit, &tables, &fonts}) CreateDirectoryA(d->c_str(), nullptr);
    }
    void TearDown() override {
        for (const char* key : {kLockedKey, kEudcKey}) Unlock(key);
        SetupRun::TearDown();
    }
};

// text with its %s, if any, filled in.
std::string Fill(const std::string& text, const std::string& what) {
    const size_t at = text.find("%s");
    return at == std::string::npos ? text : text.substr(0, at) + what + text.substr(at + 2);
}

TEST_F(Faults, EachItemFailsAloneAndTheRunGoesOn) {
    const char* small = getenv("QSETUP_SMALL_DRIVE");
    const std::string full = small ? std::string(small) + "\\full" : "";
    std::string broken = ReadBytes(LzData("text.lz"));
    broken[8] = 'B';  // a compression the library does not know
    const std::string lz = ReadBytes(LzData("random.lz")), cut = lz.substr(0, lz.size() / 2);
    const std::string bigBin = ReadBytes(LzData("big.bin")), bigLz = ReadBytes(LzData("big.lz"));

    // The accessory files in install order, each with its fault and the
    // message that says so (%s: the destination file). Bytes split at split
    // make two pieces, FILE and FILE.P2. Each that fails has a file there
    // before, which must stay as it was. The ones on the full drive S: run
    // only where there is one. The items after Vanish find their pieces on
    // disk 2, the directory last named in a prompt.
    const struct {
        const char* item;
        const char* file;
        const std::string& dir;
        int disk;
        int compressed;
        std::string bytes;
        size_t split;
        const char* message;  // "": installed; null: gone at the prompt's OK, below
    } misc[] = {
        {"Broken", "BROKEN.EXE", kit, 1, 1, broken, 0, "原始檔案格式不合法。"},
        {"Short", "SHORT.TBL", kit, 1, 1, cut, 1000, "原始檔案格式不合法。"},
        {"Locked", "LOCKED.TXT", kit, 1, 0, "new locked", 0, "無法建立檔案 %s !"},
        {"ReadOnly", "RO.TXT", kit, 1, 0, "new read-only", 0, "無法建立檔案 %s !"},
        {"Vanish", "VANISH.TXT", kit, 2, 0, "new vanish", 0, nullptr},
        {"FullCopy", "BIG.BIN", full, 2, 0, bigBin, 100000, "檔案寫入錯誤或磁碟空間已滿 !"},
        {"FullExpand", "BIGX.TBL", full, 2, 1, bigLz, 0, "磁碟空間不足夠輸出所需之檔案。"},
        {"FullJoin", "BIGJ.TBL", full, 2, 1, bigLz, 80000, "磁碟空間不足夠輸出所需之檔案。"},
        {"Good", "GOOD.TXT", kit, 2, 0, "good", 0, ""},
    };
    // Then two tables and a font, each with one piece on disk 2, whose key
    // can't be written: read-only by its access list, or under a volatile
    // parent (which refuses a lasting child). Each keeps its file, unlinked.
    // Windows 9x ignores the access asked for when a key is opened: the
    // read-only key opens, and the first value written to it fails.
    const struct {
        const char* item;
        const char* file;
        const std::string& dir;
        const char* key;
        const char* value;
        const char* after;      // the value read back
        const char* message9x;  // null: as on NT, "Can't Create Key %s"
    } keyed[] = {
        {"LockedTable", "LOCKTBL.TBL", tables, kLockedKey, kDictionary, "<no value>", "Can't write to key %s"},
        {"VolatileTable", "VOLTBL.TBL", tables, kVolatileChild, kDictionary, "<no key>", nullptr},
        {"Kai", "KAI.TTE", fonts, kEudcKey, "Kai Face", "<no value>", "Can't create link with TTE"},
    };

    if (small) {
        RemoveTree(full);
        ASSERT_TRUE(CreateDirectoryA(full.c_str(), nullptr));
    }
    std::vector<Item> miscItems, tableItems, fontItems;
    std::vector<std::string> before;  // in kit
    for (const auto& f : misc) {
        if (f.dir.empty()) continue;
        const TempDir& disk = f.disk == 1 ? disk1 : disk2;
        const std::string label = "Disk " + std::to_string(f.disk), second = std::string(f.file) + ".P2";
        Item item(f.item);
        item.Piece(f.file, label).Key("DstDir", f.dir).Key("Compressed", f.compressed);
        disk.Write(f.file, f.bytes.substr(0, f.split ? f.split : f.bytes.size()));
        if (f.split) {
            item.Piece(second, label);
            disk.Write(second, f.bytes.substr(f.split));
        }
        miscItems.push_back(item);
        if (f.message && !*f.message) continue;
        WriteBytes(f.dir + "\\" + f.file, std::string("old ") + f.file);
        if (f.dir == kit) before.push_back(f.file);
    }
    for (const auto& k : keyed) {
        Item item(k.item);
        item.Piece(k.file, "Disk 2");
        disk2.Write(k.file, Pattern(5000, k.file[0]));
        if (&k.dir == &tables)
            tableItems.push_back(item.Key("DstDir", tables).Key("UserKey", k.key).Key("Mode", 1));
        else
            fontItems.push_back(item.Key("Size", 1).Key("FontName", kBaseFont).Face(k.value));
    }
    disk1.Describe(Section(Kind::Misc, miscItems) + Section(Kind::Tables, tableItems) +
                   Section(Kind::Fonts, fontItems));
    const std::vector<std::string> fullBefore = small ? ListDir(full) : std::vector<std::string>{};
    SetFileAttributesA((kit + "\\RO.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE held = CreateFileA((kit + "\\LOCKED.TXT").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    for (const char* key : {kLockedKey, kEudcKey}) ASSERT_TRUE(MakeReadOnly(key)) << key;
    HKEY parent;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kVolatileParent, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &parent, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(parent);

    Process setup = disk1.Start();
    StartInstall(setup, {0}, fonts);
    for (const auto& f : misc) {
        if (f.dir.empty() || (f.message && !*f.message)) continue;
        if (f.message) {
            ExpectBox(setup, Fill(f.message, Utf8(f.dir + "\\" + f.file)));
            continue;
        }
        // The piece is there when its disk is named, and gone at OK.
        HWND prompt = WaitPrompt(setup);
        EXPECT_EQ(Utf8(Text(prompt, IDC_PROMPT_TEXT)), "請放入 Disk 2 或將含有 VANISH.TXT 之磁片放入...");
        SetText(prompt, IDC_PROMPT_DIR, disk2.Path());
        DeleteFileA(disk2.Join(f.file).c_str());
        Click(prompt, IDOK);
        ExpectBox(setup, "無法開啟檔案 " + Utf8(disk2.Join(f.file)) + " !\n", "ReRe");
        Click(prompt, IDCANCEL);
        setup.WaitGone(prompt);
    }
    const bool nineX = SetupRunsAs9x();
    for (const auto& k : keyed)
        ExpectBox(setup, Fill(nineX && k.message9x ? k.message9x : "Can't Create Key %s", k.key));
    // The one selected font was not linked: no completion message. Had one
    // come, the program would not end on the close below.
    ExpectExit(setup);
    CloseHandle(held);

    // The files that were there are as they were; nothing else is left.
    SetFileAttributesA((kit + "\\RO.TXT").c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const auto& f : misc) {
        if (f.dir.empty()) continue;
        const bool installed = f.message && !*f.message;
        EXPECT_EQ(ReadBytes(f.dir + "\\" + f.file), installed ? f.bytes : std::string("old ") + f.file);
    }
    std::vector<std::string> expected = before;
    expected.push_back("GOOD.TXT");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ListDir(kit), expected);
    if (small) {
        EXPECT_EQ(ListDir(full), fullBefore);
        RemoveTree(full);
    }
    for (const auto& k : keyed) {
        EXPECT_TRUE(ReadBytes(k.dir + "\\" + k.file) == Pattern(5000, k.file[0])) << k.file;
        EXPECT_EQ(ReadValue(k.key, k.value).text, k.after) << k.item;
    }
}

}  // namespace
