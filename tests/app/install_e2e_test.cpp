// The whole install, from the click to the end, on a two-disk medium laid
// out here, worked through the real program's windows.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/e2e.h"

using namespace qdriver;

namespace {

constexpr char kUserKey[] = "Software\\QuillTest\\Phonetic";
constexpr char kGroup[] = "QuillTest Tools";

std::string StartMenuGroup() {
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
    return std::string(programs) + "\\" + kGroup;
}

// Two disks: the program, its description and the first pieces on disk1.
class InstallRun : public SetupRun {
protected:
    void SetUp() override {
        SetupRun::SetUp();
        RemoveTree(StartMenuGroup());
        const std::string lz = ReadBytes(LzData("random.lz"));
        disk1.Write("VIEWER.EXE", ReadBytes(LzData("text.lz")));
        disk1.Write("PHONETIC.TBL", lz.substr(0, lz.size() / 2));
        disk1.Write("PHONETIC.P2", lz.substr(lz.size() / 2));
        disk1.Write("SKAI.TTE", kai1);
        disk2.Write("SKAI.P2", kai2);
        disk2.Write("SSONG.TTE", song);
        disk1.Describe(Description());
    }
    void TearDown() override {
        RemoveTree(StartMenuGroup());
        SetupRun::TearDown();
    }

    // The viewer and any more accessory files; Kai in two pieces on two
    // disks, and Song; the table in two pieces.
    std::string Description(long long kaiSize = 1, const std::vector<Item>& more = {}) const {
        Item viewer("Viewer"), kaiFont("Sample Kai"), songFont("Sample Song"), phonetic("Phonetic");
        viewer.Piece("VIEWER.EXE", "Disk 1").Key("DstDir", kit).Key("Compressed", 1).Key("Group", kGroup);
        kaiFont.Key("Size", kaiSize).Key("FontName", kBaseFont).Face("Kai Face").Face("Kai Bold");
        kaiFont.Piece("SKAI.TTE", "Disk 1").Piece("SKAI.P2", "Disk 2");
        songFont.Key("Size", 1).Key("FontName", kBaseFont).Face("Song Face").Piece("SSONG.TTE", "Disk 2");
        phonetic.Piece("PHONETIC.TBL", "Disk 1").Piece("PHONETIC.P2", "Disk 1").Key("DstDir", tables);
        phonetic.Key("Compressed", 1).Key("UserKey", kUserKey).Key("Mode", "1F");
        std::vector<Item> misc = {viewer};
        misc.insert(misc.end(), more.begin(), more.end());
        return Section(Kind::Misc, misc) + Section(Kind::Fonts, {kaiFont, songFont}) +
               Section(Kind::Tables, {phonetic});
    }

    // Answers every disk prompt with the disk that holds the piece asked
    // for, until the run ends with its completion message.
    void AnswerPromptsUntilDone(Process& setup) {
        HWND prompt = nullptr;
        while (!WaitBoxOrPrompt(setup, &prompt)) {
            const std::string piece = PromptedPiece(Text(prompt, IDC_PROMPT_TEXT));
            SetText(prompt, IDC_PROMPT_DIR, Exists(disk1.Join(piece)) ? disk1.Path() : disk2.Path());
            Click(prompt, IDOK);
            setup.WaitGone(prompt);
        }
        ExpectBox(setup, kDone);
    }

    const std::string kai1 = Pattern(40000, 1), kai2 = Pattern(30000, 2), song = Pattern(50000, 3);
};

TEST_F(InstallRun, EverythingFromTheClickToTheEnd) {
    // A work file a killed run left goes; the old file a 9x rename keeps
    // aside, and a work file another setup holds open, stay.
    CreateDirectoryA(kit.c_str(), nullptr);
    WriteBytes(kit + "\\qst1a2b.tmp", "left by a killed run");
    WriteBytes(kit + "\\qso5.tmp", "the user's old file");
    const HANDLE held = CreateFileA((kit + "\\qst77.tmp").c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Process setup = disk1.Start();
    HWND dialog = StartInstall(setup, {0, 1}, fonts);
    ExpectBox(setup, "建立一個新的目錄 ？", nullptr);

    HWND prompt = WaitPrompt(setup);
    EXPECT_EQ(Utf8(Text(prompt, IDC_PROMPT_TEXT)), "請放入 Disk 2 或將含有 SKAI.P2 之磁片放入...");
    SetText(prompt, IDC_PROMPT_DIR, disk2.Path());
    Click(prompt, IDOK);
    ExpectBox(setup, kDone);
    EXPECT_EQ(Text(dialog, IDC_STATUS), "") << "status line emptied";
    ExpectExit(setup, dialog);

    EXPECT_TRUE(ReadBytes(kit + "\\VIEWER.EXE") == ReadBytes(LzData("text.bin")));
    CloseHandle(held);
    EXPECT_EQ(ListDir(kit), (std::vector<std::string>{"VIEWER.EXE", "qso5.tmp", "qst77.tmp"}));
    EXPECT_TRUE(ReadBytes(tables + "\\PHONETIC.TBL") == ReadBytes(LzData("random.bin")));
    EXPECT_TRUE(ReadBytes(fonts + "\\SKAI.TTE") == kai1 + kai2);
    EXPECT_TRUE(ReadBytes(fonts + "\\SSONG.TTE") == song);

    EXPECT_EQ(ReadValue("EUDC\\950", "Kai Face").text, fonts + "\\SKAI.TTE");
    EXPECT_EQ(ReadValue("EUDC\\950", "Kai Bold").text, fonts + "\\SKAI.TTE");
    EXPECT_EQ(ReadValue("EUDC\\950", "Song Face").text, fonts + "\\SSONG.TTE");
    EXPECT_EQ(ReadValue(kUserKey, "User Dictionary").text, tables + "\\PHONETIC.TBL");
    EXPECT_EQ(ReadValue(kUserKey, "Mode Configuration").number, 0x1Fu);
    EXPECT_EQ(ReadValue(kUserKey, "Reverse Layout").text, "<no value>");

    EXPECT_TRUE(Exists(StartMenuGroup() + "\\Viewer.lnk")) << StartMenuGroup();
    const std::string trace = setup.Output();
    for (const std::string& part : {"Dest " + kit + "\\VIEWER.EXE\n",
                                    std::string("Adding Viewer into group ") + kGroup + "\n\tInitializing\n\tConnecting\n",
                                    "\tSending Command [AddItem(\"" + kit + "\\VIEWER.EXE\",\"Viewer\")]\n\tDone\n"})
        EXPECT_NE(trace.find(part), std::string::npos) << part << "\nnot in\n" << trace;
}

TEST_F(InstallRun, FontsDirectoryGivesBareLinkNamesAndASecondRunInstallsAgain) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string fontsDir = std::string(windows) + "\\FONTS";
    CreateDirectoryA(fontsDir.c_str(), nullptr);
    Process setup = disk1.Start();
    for (int run = 0; run < 2; ++run) {
        DeleteFileA((kit + "\\VIEWER.EXE").c_str());
        // The second run keeps the list's selection.
        StartInstall(setup, run == 0 ? std::vector<int>{1} : std::vector<int>{}, fontsDir);
        AnswerPromptsUntilDone(setup);
        EXPECT_EQ(ReadValue("EUDC\\950", "Song Face").text, "SSONG.TTE");
        EXPECT_TRUE(Exists(kit + "\\VIEWER.EXE")) << "run " << run;
    }
    DeleteFileA((fontsDir + "\\SSONG.TTE").c_str());
    ExpectExit(setup);
}

// The last byte of 許 is the backslash byte: the font and its link must
// still land inside the directory.
TEST_F(InstallRun, DestinationEndingInADoubleByteCharacter) {
    const std::string xu = root.Join(Ansi("許"));
    Process setup = disk1.Start();
    StartInstall(setup, {1}, xu);
    Answer(setup.WaitMessageBox(), IDOK);  // create it
    AnswerPromptsUntilDone(setup);
    EXPECT_TRUE(ReadBytes(xu + "\\SSONG.TTE") == song);
    EXPECT_EQ(ReadValue("EUDC\\950", "Song Face").text, xu + "\\SSONG.TTE");
    EXPECT_EQ(ListDir(root.Path(), Ansi("許*")), std::vector<std::string>{Ansi("許")});
    ExpectExit(setup);
}

// Exit in the prompt of the second accessory file: nothing after it is
// started, and a stopped run earns no completion message. Exit and Install
// of the main dialog, handled in a message loop of the run (as Program
// Manager's conversation runs one), do nothing until the run has ended.
TEST_F(InstallRun, ExitInTheSecondAccessoryFilesPromptStopsTheRun) {
    disk1.Describe(Description(1, {Item("Help").Piece("HELP.TXT", "Disk 3").Key("DstDir", kit)}));
    CreateDirectoryA(fonts.c_str(), nullptr);
    Process setup = disk1.Start();
    HWND dialog = StartInstall(setup, {0, 1}, fonts);
    HWND prompt = WaitPrompt(setup);
    EXPECT_EQ(Utf8(Text(prompt, IDC_PROMPT_TEXT)), "請放入 Disk 3 或將含有 HELP.TXT 之磁片放入...");
    for (int id : {IDC_EXIT, IDC_INSTALL})
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(dialog, id)));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    SetText(prompt, IDC_PROMPT_DIR, disk2.Path());  // no HELP.TXT there either: the prompt stays
    Click(prompt, IDOK);
    Answer(setup.WaitMessageBox(), IDOK);
    EXPECT_TRUE(IsWindow(prompt));
    Click(prompt, IDC_PROMPT_EXIT);
    setup.WaitGone(prompt);
    setup.WaitOutput("Dest " + kit + "\\HELP.TXT\n\tFile deleted on error\n");
    // A completion message or a second run's dialog would keep the Exit
    // below from ending the program.
    EXPECT_TRUE(IsWindow(dialog)) << "Exit during the run ended the program";
    EXPECT_EQ(Text(dialog, IDC_STATUS), "");
    EXPECT_TRUE(Exists(kit + "\\VIEWER.EXE"));
    EXPECT_FALSE(Exists(kit + "\\HELP.TXT"));
    EXPECT_FALSE(Exists(tables));
    EXPECT_TRUE(ListDir(fonts).empty());
    EXPECT_EQ(ReadValue(kUserKey, "User Dictionary").text, "<no key>");
    ExpectExit(setup, dialog);
}

// Install with nothing selected asks for a font, not a destination; a
// double click on a line is the Install command too, and Cancel in the
// destination dialog installs nothing.
TEST_F(InstallRun, NothingSelectedOrDestinationCancelledInstallsNothing) {
    Process setup = disk1.Start();
    HWND dialog = WaitMainDialog(setup);
    Click(dialog, IDC_INSTALL);
    ExpectBox(setup, "必須先選擇字型 !", nullptr);
    EXPECT_EQ(setup.Find("#32770", Ansi(kDestinationTitle).c_str()), nullptr);
    DoubleClickListItem(Control(dialog, IDC_FONT_LIST), 0);
    HWND ask = WaitDestination(setup);
    Click(ask, IDCANCEL);
    setup.WaitGone(ask);
    EXPECT_FALSE(Exists(kit));
    EXPECT_EQ(ReadValue(kUserKey, "User Dictionary").text, "<no key>");
    ExpectExit(setup, dialog);
}

// Whatever Windows version the program is told it runs on, the drive's
// free space is asked in 64 bits: Windows 9x would cap the older call's
// figure at 2 GB.
TEST_F(InstallRun, NotEnoughSpaceInstallsNothing) {
    disk1.Describe(Description(2000000000));
    CreateDirectoryA(fonts.c_str(), nullptr);
    Process setup = disk1.Start();
    HWND dialog = StartInstall(setup, {0, 1}, fonts);
    HWND box = setup.WaitMessageBox();
    ULARGE_INTEGER available;
    ASSERT_TRUE(GetDiskFreeSpaceExA("c:\\", &available, nullptr, nullptr));
    const std::string text = Utf8(MessageBoxText(box));
    const std::string head = "所需磁碟空間: 1953125.0M\n 大於尚餘磁碟空間: ";
    ASSERT_EQ(text.substr(0, head.size()), head) << text;
    const long long freeMb = std::atoll(text.c_str() + head.size());
    // Other programs write to the drive meanwhile; a 2 GB cap or a wrap is
    // far off on any drive with more than that free.
    EXPECT_LE(std::llabs(freeMb - static_cast<long long>(available.QuadPart >> 20)), 64) << text;
    EXPECT_EQ(text.back(), 'M');
    // The Shift-JIS title, as code page 950 shows it.
    EXPECT_EQ(Utf8(Text(box)), Utf8("Quillset \x83" "C\x83\x93\x83X\x83g\x81[\x83\x89"));
    Answer(box, IDOK);
    EXPECT_FALSE(Exists(kit));
    EXPECT_TRUE(ListDir(fonts).empty());
    ExpectExit(setup, dialog);
}

TEST_F(InstallRun, CancelInAFontsPromptSkipsOnlyThatFont) {
    DeleteFileA(disk2.Join("SKAI.P2").c_str());
    CreateDirectoryA(fonts.c_str(), nullptr);
    Process setup = disk1.Start();
    StartInstall(setup, {0, 1}, fonts);
    HWND prompt = WaitPrompt(setup);
    EXPECT_EQ(Utf8(Text(prompt, IDC_PROMPT_TEXT)), "請放入 Disk 2 或將含有 SKAI.P2 之磁片放入...");
    Click(prompt, IDCANCEL);
    setup.WaitGone(prompt);
    // Song's piece lies on disk 2 too: still asked for, now answered.
    prompt = WaitPrompt(setup);
    SetText(prompt, IDC_PROMPT_DIR, disk2.Path());
    Click(prompt, IDOK);
    ExpectBox(setup, kDone);
    EXPECT_FALSE(Exists(fonts + "\\SKAI.TTE"));
    EXPECT_TRUE(ReadBytes(fonts + "\\SSONG.TTE") == song);
    EXPECT_EQ(ReadValue("EUDC\\950", "Kai Face").text, "<no value>");
    ExpectExit(setup);
}

}  // namespace
