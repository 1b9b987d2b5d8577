// Opening source pieces, and the disk prompt when one is not in SourceDir.
#include "fixture.h"

#include <lzexpand.h>

namespace {

const std::string kPromptCaption = Ansi("安裝Quill字型Win95'");

using Prompt = Engine;

std::string ReadLz(int handle, size_t n) {
    std::string s(n, '\0');
    const int got = LZRead(handle, &s[0], static_cast<int>(n));
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return s;
}

TEST_F(Prompt, PiecePresentOpensWithoutDialog) {
    const int piece = Piece("A.TTE", "Disk 1", &disk1, "abc");
    const int h = OpenSourcePiece(nullptr, piece);
    ASSERT_GE(h, 0);
    char buf[8] = "";
    EXPECT_EQ(_lread(h, buf, sizeof buf), 3u);
    EXPECT_EQ(std::string(buf, 3), "abc");
    _lclose(h);
    EXPECT_EQ(script.Seen(), 0);
}

TEST_F(Prompt, LzSourceExpandsWhatItReads) {
    const std::string text = ReadBytes(LzData("text.bin"));
    const int piece = Piece("T.TB_", "Disk 1", &disk1, ReadBytes(LzData("text.lz")));
    UseLzSource = 1;
    const int h = OpenSourcePiece(nullptr, piece);
    ASSERT_GE(h, 0);
    EXPECT_EQ(ReadLz(h, 1000), text.substr(0, 1000));
    LZClose(h);
}

TEST_F(Prompt, AsksForTheDiskAndTakesTheTypedDirectory) {
    const int piece = Piece("A.TT_", "Disk 2", &disk2, ReadBytes(LzData("text.lz")));
    UseLzSource = 1;
    script.Then([&](HWND d) {
        EXPECT_EQ(DialogScript::Caption(d), kPromptCaption);
        EXPECT_EQ(Utf8(DialogScript::Text(d, IDC_PROMPT_TEXT)), "請放入 Disk 2 或將含有 A.TT_ 之磁片放入...");
        EXPECT_EQ(DialogScript::Text(d, IDC_PROMPT_DIR), disk1.Path());
        EXPECT_TRUE(DialogScript::WhollySelected(d, IDC_PROMPT_DIR));
        DialogScript::SetText(d, IDC_PROMPT_DIR, disk2.Path());
        DialogScript::Press(d, IDOK);
    });
    const int h = OpenSourcePiece(nullptr, piece);
    ASSERT_GE(h, 0);
    EXPECT_EQ(ReadLz(h, 100), ReadBytes(LzData("text.bin")).substr(0, 100)) << "an LZ handle";
    LZClose(h);
    EXPECT_EQ(std::string(SetupInfo.SourceDir), disk2.Path());
    EXPECT_EQ(CancelRequested, 0);
}

TEST_F(Prompt, WrongDirectoryThenCancel) {
    const int piece = Piece("A.TT_", "Disk 2", &disk2, "data");
    const std::string wrong = disk1.Join("nowhere");
    script
        .Then(Typed(wrong))
        .Then([&](HWND box) {
            EXPECT_EQ(DialogScript::Caption(box), "ReRe");
            EXPECT_EQ(DialogScript::BoxText(box), Ansi("無法開啟檔案 ") + wrong + "\\A.TT_ !\n");
            DialogScript::Press(box, IDOK);
        })
        .Then([&](HWND d) {
            // Back in the prompt, the focus in the edit box.
            EXPECT_EQ(DialogScript::Caption(d), kPromptCaption);
            EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_PROMPT_DIR));
            DialogScript::Press(d, IDCANCEL);
        });
    EXPECT_EQ(OpenSourcePiece(nullptr, piece), -1);
    EXPECT_EQ(std::string(SetupInfo.SourceDir), wrong) << "the typed text stays";
    EXPECT_EQ(CancelRequested, 0);
}

// The message is cut to its buffer without half a Big5 character.
TEST_F(Prompt, OpenFailureMessageIsCutWhole) {
    const int piece = Piece("A.TT_", "Disk 2", nullptr);
    const std::string prefix = Ansi("無法開啟檔案 ");
    // Big5 directory names put a lead byte at the message's last place.
    std::string big5 = "C:\\";
    while (big5.size() < 250) big5 += Ansi("許");
    script
        .Then(Typed(big5))
        .Then([&](HWND box) {
            const std::string text = DialogScript::BoxText(box);
            EXPECT_EQ(text.size(), 254u) << "255 would end in half a character";
            EXPECT_EQ(text, (prefix + big5).substr(0, 254));
            DialogScript::Press(box, IDOK);
        })
        .Then(Press(IDCANCEL));
    EXPECT_EQ(OpenSourcePiece(nullptr, piece), -1);
}

TEST_F(Prompt, DriveRootWithAndWithoutBackslash) {
    const int piece = Piece("A.TT_", "Disk 2", nullptr);
    for (const char* typed : {"A:\\", "A:"})
        script.Then(Typed(typed)).Then(Box(Ansi("無法開啟檔案 A:\\A.TT_ !\n")));
    script.Then(Press(IDCANCEL));
    EXPECT_EQ(OpenSourcePiece(nullptr, piece), -1);
}

TEST_F(Prompt, EmptyDirectoryTriesTheBareNameInTheCurrentDirectory) {
    const int piece = Piece("B.TTE", "Disk 2", &disk2, "bare");
    const CurrentDirectory in(disk2.Path());
    script.Then(Typed(""));
    const int h = OpenSourcePiece(nullptr, piece);
    ASSERT_GE(h, 0);
    _lclose(h);
    EXPECT_STREQ(SetupInfo.SourceDir, "");
}

TEST_F(Prompt, ExitSetsCancelRequestedAndTheCloseBoxIsCancel) {
    const int piece = Piece("A.TT_", "Disk 2", nullptr);
    script.Then(Press(IDC_PROMPT_EXIT));
    EXPECT_EQ(OpenSourcePiece(nullptr, piece), -1);
    EXPECT_EQ(CancelRequested, 1);

    CancelRequested = 0;
    script.Then([](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); });
    EXPECT_EQ(OpenSourcePiece(nullptr, piece), -1);
    EXPECT_EQ(CancelRequested, 0);

    script.Then([](HWND d) { PostMessageA(GetDlgItem(d, IDC_PROMPT_DIR), WM_KEYDOWN, VK_ESCAPE, 0); });
    EXPECT_EQ(OpenSourcePiece(nullptr, piece), -1);
    EXPECT_EQ(CancelRequested, 0);
}

}  // namespace
