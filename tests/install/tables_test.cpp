// Input-method tables: the file, then its values under its own key.
#include "fixture.h"

#include "install/tables.h"

namespace {

constexpr char kUserKey[] = "Software\\QuillTest\\Phonetic";

struct Value {
    DWORD type = 0;
    std::string text;
    DWORD number = 0;
    bool present = false;
};

Value Read(const char* keyPath, const char* name) {
    Value v;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
    BYTE data[600] = {};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &v.type, data, &size) == ERROR_SUCCESS) {
        v.present = true;
        if (v.type == REG_DWORD) memcpy(&v.number, data, 4);
        else v.text = reinterpret_cast<char*>(data);
    }
    RegCloseKey(key);
    return v;
}

class Tables : public Engine {
protected:
    void SetUp() override {
        Engine::SetUp();
        RegDeleteKeyA(HKEY_CURRENT_USER, kUserKey);
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, kUserKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuillTest");
        Engine::TearDown();
    }
    TableItem& Table(const char* userKey, const std::string& dstDir) {
        TableItem& t = SetupInfo.TableItems[0];
        memset(&t, 0, sizeof t);
        CopyText(t.Name, "Phonetic");
        CopyText(t.DstDir, dstDir.c_str());
        CopyText(t.UserKey, userKey);
        t.Files = 1;
        t.FirstPiece = Piece("PHONETIC.TBL", "Disk 2", &disk1, "table data");
        return t;
    }
    TempDir out;
};

TEST_F(Tables, OnlyUserDictionaryWithoutModeAndLayout) {
    Table(kUserKey, out.Path());
    ASSERT_EQ(InstallTableItem(nullptr, 0), 1);
    const Value dictionary = Read(kUserKey, "User Dictionary");
    EXPECT_EQ(dictionary.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(dictionary.text, out.Join("PHONETIC.TBL"));
    EXPECT_FALSE(Read(kUserKey, "Mode Configuration").present);
    EXPECT_FALSE(Read(kUserKey, "Reverse Layout").present);
    EXPECT_EQ(ReadBytes(out.Join("PHONETIC.TBL")), "table data");
}

TEST_F(Tables, PresenceNotValueDecidesAndTwiceGivesTheSame) {
    TableItem& t = Table(kUserKey, out.Path() + "\\");
    t.HasMode = 1;
    t.Mode = 0;
    t.HasLayout = 1;
    t.Layout = 0xFFFFFFFF;
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(InstallTableItem(nullptr, 0), 1);
        EXPECT_EQ(Read(kUserKey, "User Dictionary").text, out.Join("PHONETIC.TBL")) << "one backslash";
        const Value mode = Read(kUserKey, "Mode Configuration");
        EXPECT_EQ(mode.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_TRUE(mode.present);
        EXPECT_EQ(mode.number, 0u);
        const Value layout = Read(kUserKey, "Reverse Layout");
        EXPECT_EQ(layout.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(layout.number, 0xFFFFFFFFu);
    }
}

// An empty UserKey would put the values at the root of HKEY_CURRENT_USER,
// and a cut one under another key: the file is installed, not recorded.
TEST_F(Tables, EmptyOrCutUserKeyIsNotRecorded) {
    for (int cut = 0; cut < 2; ++cut) {
        TableItem& t = Table(cut ? kUserKey : "", out.Path());
        t.UserKeyCut = cut;
        t.HasMode = 1;
        t.Mode = 0x1F;
        script.Then(Box(std::string("Can't Create Key ") + (cut ? kUserKey : "HKEY_CURRENT_USER\\")));
        EXPECT_EQ(InstallTableItem(nullptr, 0), 0);
        EXPECT_EQ(ReadBytes(out.Join("PHONETIC.TBL")), "table data");
        EXPECT_FALSE(Read("", "User Dictionary").present);
        EXPECT_FALSE(Read("", "Mode Configuration").present);
        HKEY key;
        EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    }
}

TEST_F(Tables, FailedAssemblyWritesNothing) {
    Table(kUserKey, out.Path());
    DeleteFileA(disk1.Join("PHONETIC.TBL").c_str());
    script.Then(Press(IDCANCEL));
    EXPECT_EQ(InstallTableItem(nullptr, 0), 0);
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_READ, &key), ERROR_SUCCESS);
}

}  // namespace
