// Input-method tables: the file, then its values under its own key.
#include "fixture.h"

#include "install/tables.h"

namespace {

constexpr char kUserKey[] = "Software\\QuillTest\\Phonetic";

class Tables : public Engine {
protected:
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
    const RegValue dictionary = ReadValue(kUserKey, "User Dictionary");
    EXPECT_EQ(dictionary.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(dictionary.text, out.Join("PHONETIC.TBL"));
    EXPECT_EQ(ReadValue(kUserKey, "Mode Configuration").text, "<no value>");
    EXPECT_EQ(ReadValue(kUserKey, "Reverse Layout").text, "<no value>");
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
        EXPECT_EQ(ReadValue(kUserKey, "User Dictionary").text, out.Join("PHONETIC.TBL")) << "one backslash";
        const RegValue mode = ReadValue(kUserKey, "Mode Configuration");
        EXPECT_EQ(mode.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(mode.number, 0u);
        const RegValue layout = ReadValue(kUserKey, "Reverse Layout");
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
        EXPECT_EQ(ReadValue("", "User Dictionary").text, "<no value>");
        EXPECT_EQ(ReadValue("", "Mode Configuration").text, "<no value>");
        EXPECT_EQ(ReadValue(kUserKey, "User Dictionary").text, "<no key>");
    }
}

TEST_F(Tables, FailedAssemblyWritesNothing) {
    Table(kUserKey, out.Path());
    DeleteFileA(disk1.Join("PHONETIC.TBL").c_str());
    script.Then(Press(IDCANCEL));
    EXPECT_EQ(InstallTableItem(nullptr, 0), 0);
    EXPECT_EQ(ReadValue(kUserKey, "User Dictionary").text, "<no key>");
}

}  // namespace
