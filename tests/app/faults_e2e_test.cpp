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

#include "app/e2e.h"
#include "driver/driver.h"
#include "setup/description.h"

using namespace qdriver;

namespace {

constexpr char kLockedKey[] = "Software\\QuillTest\\Locked";
constexpr char kVolatileParent[] = "Software\\QuillVolatile";
constexpr char kVolatileChild[] = "Software\\QuillVolatile\\Child";
constexpr char kEudcKey[] = "EUDC\\950";

// Sets the key's access list to one entry: everyone may read it.
bool MakeReadOnly(HKEY root, const char* path) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
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
    if (done && RegOpenKeyExA(root, path, 0, KEY_WRITE, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        done = false;
    }
    return done;
}

// The owner may always change the access list: open access, then delete.
void Unlock(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
        SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                        nullptr);
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, path);
}

class Faults : public ::testing::Test {
protected:
    void SetUp() override {
        CleanRegistry();
        ASSERT_TRUE(RegisterBaseFont());
        kit = root.Join("KIT");
        tables = root.Join("TBL");
        fonts = root.Join("FONTS");
        for (const std::string* d : {&kit, &tables, &fonts}) CreateDirectoryA(d->c_str(), nullptr);
        if (!CopyFileA(WinePath(SETUP_EXE_UNIX).c_str(), disk1.Join("SETUP.EXE").c_str(), FALSE))
            FAIL() << "cannot copy SETUP.EXE";
        tempBefore = TempFiles();
    }
    void TearDown() override {
        CleanRegistry();
        UnregisterBaseFont();
        EXPECT_EQ(TempFiles(), tempBefore) << "a temporary file was left behind";
    }
    static void CleanRegistry() {
        Unlock(HKEY_CURRENT_USER, kLockedKey);
        Unlock(HKEY_CURRENT_USER, kEudcKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuillTest");
        RegDeleteKeyA(HKEY_CURRENT_USER, kVolatileChild);
        RegDeleteKeyA(HKEY_CURRENT_USER, kVolatileParent);
    }

    Process Start(const std::string& description) {
        disk1.Write("QUILL95.INI", Ansi(Dos(description).c_str()));
        return Process(disk1.Join("SETUP.EXE"), "", disk1.Path());
    }

    // The next message box must say text (UTF-8); it is answered with OK.
    void ExpectBox(Process& setup, const std::string& text, const char* caption = nullptr) {
        HWND box = setup.WaitMessageBox();
        EXPECT_EQ(Utf8(MessageBoxText(box)), text);
        EXPECT_EQ(Utf8(Text(box)), caption ? caption : "Quill字型Win 95'安裝程式");
        Answer(box, IDOK);
    }

    static std::string Misc(const std::string& name, const std::string& file, const std::string& dir,
                            int compressed, int files = 1, const std::string& disk = "Disk 1") {
        std::string s;
        for (int k = 1; k <= files; ++k) {
            const std::string n = std::to_string(k);
            s += name + " File" + n + "=" + (k == 1 ? file : file + ".P" + n) + "\n" + name + " Disk" +
                 n + "=" + disk + "\n";
        }
        return s + name + " Files=" + std::to_string(files) + "\n" + name + " DstDir=" + dir + "\n" +
               name + " Compressed=" + std::to_string(compressed) + "\n";
    }

    TempDir root, disk1, disk2;
    std::string kit, tables, fonts;
    std::vector<std::string> tempBefore;
};

TEST_F(Faults, EachItemFailsAloneAndTheRunGoesOn) {
    const char* small = getenv("QSETUP_SMALL_DRIVE");
    const std::string full = small ? std::string(small) + "\\full" : "";

    // Pieces on the medium: the items after Vanish find theirs on disk 2,
    // the directory last named in a prompt.
    std::string broken = ReadBytes(LzData("text.lz"));
    broken[8] = 'B';  // a compression the library does not know
    const std::string lz = ReadBytes(LzData("random.lz"));
    const std::string cut = lz.substr(0, lz.size() / 2);
    disk1.Write("BROKEN.EXE", broken);
    disk1.Write("SHORT.TBL", cut.substr(0, 1000));
    disk1.Write("SHORT.TBL.P2", cut.substr(1000));
    disk1.Write("LOCKED.TXT", "new locked");
    disk1.Write("RO.TXT", "new read-only");
    disk2.Write("VANISH.TXT", "new vanish");
    disk2.Write("GOOD.TXT", "good");
    disk2.Write("LOCKTBL.TBL", "locked table");
    disk2.Write("VOLTBL.TBL", "volatile table");
    disk2.Write("KAI.TTE", Pattern(5000, 4));
    const std::string bigBin = ReadBytes(LzData("big.bin")), bigLz = ReadBytes(LzData("big.lz"));
    disk2.Write("BIG.BIN", bigBin.substr(0, 100000));
    disk2.Write("BIG.BIN.P2", bigBin.substr(100000));
    disk2.Write("BIGX.TBL", bigLz);
    disk2.Write("BIGJ.TBL", bigLz.substr(0, 80000));
    disk2.Write("BIGJ.TBL.P2", bigLz.substr(80000));

    // What was installed before, and must survive.
    const std::vector<std::string> before = {"BROKEN.EXE", "SHORT.TBL", "LOCKED.TXT", "RO.TXT", "VANISH.TXT"};
    for (const std::string& f : before) WriteBytes(kit + "\\" + f, "old " + f);
    SetFileAttributesA((kit + "\\RO.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE held = CreateFileA((kit + "\\LOCKED.TXT").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::vector<std::string> fullBefore;
    if (small) {
        RemoveTree(full);
        ASSERT_TRUE(CreateDirectoryA(full.c_str(), nullptr));
        for (const char* f : {"BIG.BIN", "BIGX.TBL", "BIGJ.TBL"}) WriteBytes(full + "\\" + f, Pattern(3000, f[3]));
        fullBefore = ListDir(full);
    }
    ASSERT_TRUE(MakeReadOnly(HKEY_CURRENT_USER, kLockedKey));
    ASSERT_TRUE(MakeReadOnly(HKEY_CURRENT_USER, kEudcKey));
    HKEY parent;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kVolatileParent, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &parent, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(parent);

    std::vector<std::string> items = {"Broken", "Short", "Locked", "ReadOnly", "Vanish"};
    std::string miscFiles = Misc("Broken", "BROKEN.EXE", kit, 1) + Misc("Short", "SHORT.TBL", kit, 1, 2) +
                            Misc("Locked", "LOCKED.TXT", kit, 0) + Misc("ReadOnly", "RO.TXT", kit, 0) +
                            Misc("Vanish", "VANISH.TXT", kit, 0, 1, "Disk 2");
    if (small) {
        items.insert(items.end(), {"FullCopy", "FullExpand", "FullJoin"});
        miscFiles += Misc("FullCopy", "BIG.BIN", full, 0, 2, "Disk 2") +
                     Misc("FullExpand", "BIGX.TBL", full, 1, 1, "Disk 2") +
                     Misc("FullJoin", "BIGJ.TBL", full, 1, 2, "Disk 2");
    }
    items.push_back("Good");
    miscFiles += Misc("Good", "GOOD.TXT", kit, 0, 1, "Disk 2");
    std::string misc = "[Misc]\nItems=" + std::to_string(items.size()) + "\n";
    for (size_t i = 0; i < items.size(); ++i) misc += "Item" + std::to_string(i + 1) + "=" + items[i] + "\n";
    const std::string description =
        misc + "[Misc Files]\n" + miscFiles +
        "[Tbls]\nTbls=2\nTbl1=LockedTable\nTbl2=VolatileTable\n[Tbls Files]\n"
        "LockedTable Files=1\nLockedTable File1=LOCKTBL.TBL\nLockedTable Disk1=Disk 2\n"
        "LockedTable DstDir=" + tables + "\nLockedTable UserKey=" + kLockedKey + "\nLockedTable Mode=1\n"
        "VolatileTable Files=1\nVolatileTable File1=VOLTBL.TBL\nVolatileTable Disk1=Disk 2\n"
        "VolatileTable DstDir=" + tables + "\nVolatileTable UserKey=" + kVolatileChild + "\n"
        "[Fonts]\nFonts=1\nFont1=Kai\n[Font Files]\nKai Size=1\nKai Files=1\nKai File1=KAI.TTE\n"
        "Kai Disk1=Disk 2\nKai FontName=" + std::string(kBaseFont) + "\nKai AFiles=1\nKai AFontName1=Kai Face\n";

    Process setup = Start(description);
    StartInstall(setup, {0}, fonts);
    ExpectBox(setup, "原始檔案格式不合法。");  // Broken
    ExpectBox(setup, "原始檔案格式不合法。");  // Short
    ExpectBox(setup, "無法建立檔案 " + Utf8(kit) + "\\LOCKED.TXT !");
    ExpectBox(setup, "無法建立檔案 " + Utf8(kit) + "\\RO.TXT !");

    // The piece is there when its disk is named, and gone at OK.
    HWND prompt = WaitPrompt(setup);
    EXPECT_EQ(Utf8(Text(prompt, 100)), "請放入 Disk 2 或將含有 VANISH.TXT 之磁片放入...");
    SetText(prompt, 101, disk2.Path());
    DeleteFileA(disk2.Join("VANISH.TXT").c_str());
    Click(prompt, IDOK);
    ExpectBox(setup, "無法開啟檔案 " + Utf8(disk2.Join("VANISH.TXT")) + " !\n", "ReRe");
    Click(prompt, IDCANCEL);
    setup.WaitGone(prompt);

    if (small) {
        ExpectBox(setup, "檔案寫入錯誤或磁碟空間已滿 !");
        ExpectBox(setup, "磁碟空間不足夠輸出所需之檔案。");
        ExpectBox(setup, "磁碟空間不足夠輸出所需之檔案。");
    }
    // Windows 9x ignores the access asked for when a key is opened: the
    // read-only key opens, and the first value written to it fails.
    const bool nineX = SetupRunsAs9x();
    ExpectBox(setup, std::string(nineX ? "Can't write to key " : "Can't Create Key ") + kLockedKey);
    ExpectBox(setup, std::string("Can't Create Key ") + kVolatileChild);
    ExpectBox(setup, nineX ? "Can't create link with TTE" : "Can't Create Key EUDC\\950");
    // The one selected font was not linked: no completion message. Had one
    // come, the program would not end on the close below.
    Close(setup.WaitWindow("qsetup", nullptr));
    EXPECT_EQ(setup.WaitExit(), 0u);
    CloseHandle(held);

    // The files that were there are as they were; nothing else is left.
    SetFileAttributesA((kit + "\\RO.TXT").c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const std::string& f : before) EXPECT_EQ(ReadBytes(kit + "\\" + f), "old " + f);
    std::vector<std::string> expected = before;
    expected.push_back("GOOD.TXT");
    std::vector<std::string> got = ListDir(kit);
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(ReadBytes(kit + "\\GOOD.TXT"), "good");
    if (small) {
        EXPECT_EQ(ListDir(full), fullBefore);
        for (const char* f : {"BIG.BIN", "BIGX.TBL", "BIGJ.TBL"})
            EXPECT_TRUE(ReadBytes(full + "\\" + f) == Pattern(3000, f[3])) << f;
        RemoveTree(full);
    }
    // A table or font whose key can't be written keeps its file, unlinked.
    EXPECT_EQ(ReadBytes(tables + "\\LOCKTBL.TBL"), "locked table");
    EXPECT_EQ(ReadBytes(tables + "\\VOLTBL.TBL"), "volatile table");
    EXPECT_TRUE(ReadBytes(fonts + "\\KAI.TTE") == Pattern(5000, 4));
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, kLockedKey, "User Dictionary"), "<no value>");
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, kVolatileChild, "User Dictionary"), "<no key>");
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, kEudcKey, "Kai Face"), "<no value>");
}

}  // namespace
