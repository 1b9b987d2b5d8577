// Typed destination directories and the destination dialog, on the real
// platform under code page 950. Drive C holds Wine's Windows tree and the
// temporary directories; drive Z is the Unix file system.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/dirs.h"
#include "common/globals.h"
#include "common/messages.h"
#include "support/testutil.h"
#include "support/winui.h"

namespace {

std::string Cwd() {
    char buf[1024] = "";
    const DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    return n < sizeof buf ? std::string(buf, n) : std::string("(too long)");
}

void Cd(const std::string& dir) { ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str())) << dir; }

// What NormalizeDir makes of a text, in a buffer with guard bytes behind it.
std::string Normalized(const std::string& typed) {
    struct {
        char path[kPathLen];
        char guard[8];
    } b;
    memset(b.guard, 'G', sizeof b.guard);
    EXPECT_LT(typed.size(), static_cast<size_t>(kPathLen)) << "the test's own text must fit";
    CopyText(b.path, typed.c_str());
    NormalizeDir(b.path);
    EXPECT_EQ(std::string(b.guard, sizeof b.guard), std::string(8, 'G')) << "overrun";
    return std::string(b.path);
}

std::string Trimmed(const std::string& path) {
    char buf[kPathLen];
    CopyText(buf, path.c_str());
    TrimDirSlash(buf);
    return buf;
}

// The dialog's chain: normalized, then one trailing backslash dropped.
std::string Accepted(const std::string& typed) { return Trimmed(Normalized(typed)); }

std::string Lower(std::string s) {
    CharLowerA(&s[0]);
    return s;
}
std::string Upper(std::string s) {
    CharUpperA(&s[0]);
    return s;
}

// A drive letter the platform does not have; Q when it is free.
char MissingDrive() {
    const DWORD mask = GetLogicalDrives();
    if (!(mask & (1UL << ('Q' - 'A')))) return 'Q';
    for (char c = 'Y'; c >= 'D'; --c)
        if (!(mask & (1UL << (c - 'A')))) return c;
    return 0;
}

std::string SystemDir() {
    char buf[MAX_PATH] = "";
    GetSystemDirectoryA(buf, MAX_PATH);
    return buf;
}

// A chain of directories below base whose full path is exactly length
// characters. Removed deepest first: the tree helper can't list paths this
// long.
class DeepDir {
public:
    DeepDir(const std::string& base, size_t length) : base_(base), path_(base) {
        char letter = 'a';
        while (path_.size() + 1 < length) {
            const size_t room = length - path_.size() - 1;
            // Never leave room for a backslash alone.
            const size_t n = room <= 60 ? room : room == 61 ? 50 : 60;
            path_ += "\\" + std::string(n, letter++);
            if (!CreateDirectoryA(path_.c_str(), nullptr)) return;
            made_.push_back(path_);
        }
    }
    ~DeepDir() {
        // A current directory can't be removed.
        SetCurrentDirectoryA(base_.c_str());
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDirectoryA(it->c_str());
    }
    const std::string& Path() const { return path_; }
    bool Made() const { return !made_.empty() && made_.back() == path_; }

private:
    std::string base_, path_;
    std::vector<std::string> made_;
};

// Puts back the current directory and drive C's remembered directory.
class DirBase : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 950u) << "tests must run with LC_ALL=zh_TW.UTF-8";
        savedCwd = Cwd();
        char buf[1024] = "";
        hadC = GetEnvironmentVariableA("=C:", buf, sizeof buf) > 0;
        savedC = buf;
        AppInstance = GetModuleHandleA(nullptr);
        LoadCaption();
    }
    void TearDown() override {
        SetCurrentDirectoryA(savedCwd.c_str());
        ForgetC();
        AppInstance = GetModuleHandleA(nullptr);
    }
    // The platform keeps each drive's remembered directory in "=C:" and the
    // like; SetCurrentDirectoryA alone does not set it under Wine.
    static void RememberC(const std::string& dir) {
        ASSERT_TRUE(SetEnvironmentVariableA("=C:", dir.c_str()));
    }
    void ForgetC() const { SetEnvironmentVariableA("=C:", hadC ? savedC.c_str() : nullptr); }
    // Off drive C, so that C: and C:X take the remembered directory.
    static void LeaveDriveC() { Cd("Z:\\"); }

    TempDir tmp;
    std::string savedCwd, savedC;
    bool hadC = false;
};

using TypedDir = DirBase;
using ExistingDir = DirBase;

// Texts typed where the program stands, and what NormalizeDir and the
// dialog's whole chain (Accepted) make of them; null: not asked. "~" is
// the test's directory, on drive C, made when the program is to stand in
// it or below. The program stands off drive C when in Z:, and drive C's
// remembered directory is the one given (null: as it was).
const struct {
    const char* cwd;
    const char* rememberedC;
    const char* typed;
    const char* normalized;
    const char* accepted;
    const char* why;
} kTyped[] = {
    // Empty: the current directory.
    {"~", nullptr, "", "~", "~", ""},
    {"Z:\\", nullptr, "", "Z:\\", "Z:\\", "a root keeps its backslash"},
    // From the root: on the current drive.
    {"~", nullptr, "\\QFONTS", "C:\\QFONTS", "C:\\QFONTS", ""},
    {"~", nullptr, "\\QFONTS\\", "C:\\QFONTS\\", "C:\\QFONTS", ""},
    {"~", nullptr, "\\", "C:\\", "C:\\", ""},
    {"Z:\\tmp", nullptr, "\\QFONTS", "Z:\\QFONTS", nullptr, ""},
    {"Z:\\tmp", nullptr, "\\..\\A", "Z:\\..\\A", nullptr, "dots are not resolved"},
    // A full path stays, and the chain drops one trailing backslash.
    {"Z:\\", nullptr, "C:\\QFONTS\\", "C:\\QFONTS\\", "C:\\QFONTS", ""},
    {"Z:\\", nullptr, "C:\\QFONTS", "C:\\QFONTS", "C:\\QFONTS", ""},
    {"Z:\\", nullptr, "C:\\", "C:\\", "C:\\", ""},
    {"Z:\\", nullptr, "C:\\QFONTS\\\\", nullptr, "C:\\QFONTS\\", "only one backslash goes"},
    {"Z:\\", nullptr, "c:\\a\\..\\B", nullptr, "c:\\a\\..\\B", ""},
    // A drive and text: the drive's remembered directory and the text.
    {"Z:\\", "~", "C:QFONTS", "~\\QFONTS", nullptr, ""},
    {"Z:\\", "~", "c:QFONTS", "~\\QFONTS", nullptr, ""},
    {"Z:\\", "~", "C:QFONTS\\", "~\\QFONTS\\", "~\\QFONTS", ""},
    {"Z:\\", "~", "C:..\\X", "~\\..\\X", nullptr, ""},
    {"Z:\\", "C:\\", "C:QFONTS", "C:\\QFONTS", nullptr, ""},
    // A drive alone: its remembered directory, with a backslash.
    {"Z:\\", "~", "C:", "~\\", "~", ""},
    {"Z:\\", "~", "c:", nullptr, "~", ""},
    {"Z:\\", "C:\\", "C:", "C:\\", "C:\\", "a root: no second backslash, and the chain keeps it"},
    // On the current drive the remembered directory is the current one.
    {"~\\SUB", "C:\\windows", "C:QFONTS", "~\\SUB\\QFONTS", nullptr, ""},
    {"~\\SUB", "C:\\windows", "C:", nullptr, "~\\SUB", ""},
    // Relative: under the current directory.
    {"~", nullptr, "QFONTS", "~\\QFONTS", nullptr, ""},
    {"~", nullptr, "QFONTS\\", nullptr, "~\\QFONTS", ""},
    {"~", nullptr, "..\\QFONTS", "~\\..\\QFONTS", nullptr, ""},
    {"~", nullptr, "Q", "~\\Q", nullptr, ""},
    {"Z:\\", nullptr, "QFONTS", "Z:\\QFONTS", nullptr, "no second backslash after a root"},
    // The trail byte of 許 is no backslash: a directory ending in it, current
    // or remembered, gets its backslash.
    {"Z:\\", nullptr, "C:\\許", "C:\\許", "C:\\許", ""},
    {"~\\許", nullptr, "X", "~\\許\\X", nullptr, ""},
    {"~\\許", nullptr, "功", "~\\許\\功", nullptr, ""},
    {"~\\許", nullptr, "", "~\\許", "~\\許", ""},
    {"~\\許", nullptr, "\\許", "C:\\許", nullptr, ""},
    {"Z:\\", "~\\許", "C:X", "~\\許\\X", nullptr, ""},
    {"Z:\\", "~\\許", "C:", "~\\許\\", "~\\許", ""},
};

TEST_F(TypedDir, EveryFormInTheTable) {
    ASSERT_EQ(tmp.Path().substr(0, 2), "C:");
    // "~" made the test's directory; the texts are UTF-8, made Big5.
    const auto at = [&](const char* text) {
        const std::string s = Ansi(text);
        return s.empty() || s[0] != '~' ? s : tmp.Path() + s.substr(1);
    };
    for (const auto& c : kTyped) {
        const std::string cwd = at(c.cwd), remembered = at(c.rememberedC ? c.rememberedC : ""),
                          typed = at(c.typed), where = " for \"" + Utf8(typed) + "\" in " + Utf8(cwd);
        for (const std::string& dir : {cwd, remembered}) CreateDirectoryA(dir.c_str(), nullptr);
        ForgetC();
        if (c.rememberedC) RememberC(remembered);
        Cd(cwd);
        if (c.normalized) {
            EXPECT_EQ(Normalized(typed), at(c.normalized)) << c.why << where;
        }
        if (c.accepted) {
            EXPECT_EQ(Accepted(typed), at(c.accepted)) << c.why << where;
        }
        EXPECT_EQ(Cwd(), cwd) << where;
    }
}

TEST_F(TypedDir, Big5TrailByteIsNotABackslash) {
    ASSERT_EQ(Ansi(u8"許"), "\xB3\x5C");
    const std::string xu = Ansi(u8"C:\\許");
    EXPECT_EQ(Trimmed(xu), xu);
    EXPECT_EQ(Trimmed(xu + "\\"), xu);
    EXPECT_EQ(Trimmed(Ansi(u8"C:\\功蓋")), Ansi(u8"C:\\功蓋"));
}

TEST_F(TypedDir, DriveThatIsNotThereStaysAsTyped) {
    const char missing = MissingDrive();
    ASSERT_NE(missing, 0);
    const std::string drive(1, missing);
    LeaveDriveC();
    EXPECT_EQ(Normalized(drive + ":FONTS"), drive + ":FONTS");
    EXPECT_EQ(Normalized(drive + ":"), drive + ":");
    EXPECT_EQ(Normalized(Lower(drive) + ":fonts"), Lower(drive) + ":fonts");
    EXPECT_EQ(Normalized(drive + ":\\FONTS"), drive + ":\\FONTS") << "a full path is not looked at";
    EXPECT_EQ(Normalized("1:X"), "1:X") << "not a drive letter";
    // The same forms on a drive that is there do change.
    EXPECT_NE(Normalized("Z:FONTS"), "Z:FONTS");
}

TEST_F(TypedDir, RelativeTextThatWouldNotFitIsRefused) {
    DeepDir deep(tmp.Path(), 200);
    ASSERT_TRUE(deep.Made());
    Cd(deep.Path());
    // 200 + backslash + 58 = 259 characters: the most a path holds.
    const std::string fits(58, 'F');
    EXPECT_EQ(Normalized(fits), deep.Path() + "\\" + fits);
    EXPECT_EQ(Normalized(fits + "G"), "") << "refused, not cut";
    EXPECT_EQ(Normalized(std::string(200, 'G')), "");
    // Cut inside 許 would leave half a character; refused as well.
    std::string big5;
    while (big5.size() < 60) big5 += Ansi(u8"許");
    EXPECT_EQ(Normalized(big5), "");
    EXPECT_EQ(Cwd(), deep.Path());
}

TEST_F(TypedDir, CurrentDirectoryOfTheFullLength) {
    DeepDir deep(tmp.Path(), kPathLen - 1);
    ASSERT_TRUE(deep.Made());
    Cd(deep.Path());
    EXPECT_EQ(Normalized(""), deep.Path());
    EXPECT_EQ(Normalized("X"), "");
    EXPECT_EQ(Normalized("\\X"), "C:\\X");
}

TEST_F(TypedDir, FromTheRootThatWouldNotFitIsRefused) {
    Cd(tmp.Path());
    const std::string fits = "\\" + std::string(256, 'F');  // C: + 257 = 259
    EXPECT_EQ(Normalized(fits), "C:" + fits);
    EXPECT_EQ(Normalized(fits + "G"), "");
}

TEST_F(TypedDir, DriveAndTextThatWouldNotFitAreRefused) {
    const std::string remembered = "C:\\" + std::string(197, 'R');  // 200 characters
    RememberC(remembered);
    LeaveDriveC();
    ASSERT_EQ(Normalized("C:"), remembered + "\\");
    const std::string fits = "C:" + std::string(58, 'F');
    EXPECT_EQ(Normalized(fits), remembered + "\\" + std::string(58, 'F'));
    EXPECT_EQ(Normalized(fits + "G"), "");
    // A remembered directory too long to be had at all.
    RememberC("C:\\" + std::string(300, 'R'));
    EXPECT_EQ(Normalized("C:X"), "");
    EXPECT_EQ(Normalized("C:"), "");
}

TEST_F(ExistingDir, ExistingDirectoriesInEveryForm) {
    const std::string sub = tmp.Join("SUB");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    Cd(tmp.Path());
    EXPECT_EQ(IsExistingDir(sub.c_str(), "C:\\SETUP"), 1);
    EXPECT_EQ(IsExistingDir(Lower(sub).c_str(), "C:\\SETUP"), 1);
    EXPECT_EQ(IsExistingDir("SUB", "C:\\SETUP"), 1);
    EXPECT_EQ(IsExistingDir(sub.substr(2).c_str(), "C:\\SETUP"), 1);
    EXPECT_EQ(IsExistingDir("C:\\", "C:\\SETUP"), 1);
    EXPECT_EQ(IsExistingDir("Z:\\", "C:\\SETUP"), 1);
    EXPECT_EQ(Cwd(), tmp.Path());
}

TEST_F(ExistingDir, WhatIsNotADirectoryIsRefused) {
    Cd(tmp.Path());
    const std::string file = tmp.Write("FONT.TTE", "x");
    EXPECT_EQ(IsExistingDir(file.c_str(), ""), 0) << "a file";
    EXPECT_EQ(IsExistingDir("FONT.TTE", ""), 0);
    EXPECT_EQ(IsExistingDir(tmp.Join("NONE").c_str(), ""), 0);
    EXPECT_EQ(IsExistingDir("", ""), 0);
    const char missing = MissingDrive();
    ASSERT_NE(missing, 0);
    EXPECT_EQ(IsExistingDir((std::string(1, missing) + ":\\").c_str(), ""), 0);
    EXPECT_EQ(IsExistingDir("1:\\", ""), 0);
    EXPECT_EQ(Cwd(), tmp.Path());
}

TEST_F(ExistingDir, TheProgramsOwnDirectoryInAnyCase) {
    const std::string module = tmp.Join("Setup");
    ASSERT_TRUE(CreateDirectoryA(module.c_str(), nullptr));
    Cd(tmp.Path());
    // Accepted as any other directory when it is not the program's.
    ASSERT_EQ(IsExistingDir(module.c_str(), "C:\\ELSEWHERE"), 1);
    EXPECT_EQ(IsExistingDir(module.c_str(), module.c_str()), 0);
    EXPECT_EQ(IsExistingDir(Upper(module).c_str(), module.c_str()), 0);
    EXPECT_EQ(IsExistingDir(Lower(module).c_str(), Upper(module).c_str()), 0);
    // Without its drive.
    const std::string noDrive = module.substr(2);
    ASSERT_EQ(IsExistingDir(noDrive.c_str(), "C:\\ELSEWHERE"), 1);
    EXPECT_EQ(IsExistingDir(noDrive.c_str(), module.c_str()), 0);
    EXPECT_EQ(IsExistingDir(Lower(noDrive).c_str(), Upper(module).c_str()), 0);
    // A Big5 name.
    const std::string big5 = tmp.Path() + Ansi(u8"\\許功");
    ASSERT_TRUE(CreateDirectoryA(big5.c_str(), nullptr));
    ASSERT_EQ(IsExistingDir(big5.c_str(), module.c_str()), 1);
    EXPECT_EQ(IsExistingDir(big5.c_str(), big5.c_str()), 0);
    EXPECT_EQ(Cwd(), tmp.Path());
}

// Compared as full paths: every spelling of the program's directory, and
// of the directory its pieces come from now, is refused; at a drive root
// the program's directory is kept as "Z:".
TEST_F(ExistingDir, AnySpellingOfTheMediumsDirectoriesIsRefused) {
    const std::string module = tmp.Join("Setup"), source = tmp.Join("Disk2");
    ASSERT_TRUE(CreateDirectoryA(module.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
    Cd(tmp.Path());
    for (const std::string& text :
         {module + "\\.", module + "\\", module + "\\..\\Setup", std::string("Setup"), Lower(module)})
        EXPECT_EQ(IsExistingDir(text.c_str(), module.c_str()), 0) << text;
    EXPECT_EQ(IsExistingDir(source.c_str(), module.c_str()), 1);
    EXPECT_EQ(IsExistingDir(source.c_str(), module.c_str(), (source + "\\").c_str()), 0);
    EXPECT_EQ(IsExistingDir("Disk2\\.", module.c_str(), source.c_str()), 0);
    for (const char* text : {"Z:", "Z:\\", "Z:\\.", "Z:\\tmp\\.."})
        EXPECT_EQ(IsExistingDir(text, "Z:"), 0) << text;
    EXPECT_EQ(IsExistingDir("Z:\\tmp", "Z:"), 1);
    // A long name and its short (8.3) alias, either way round.
    const std::string longName = tmp.Join("Quill Setup Program");
    ASSERT_TRUE(CreateDirectoryA(longName.c_str(), nullptr));
    const std::string alias = ShortPath(longName);
    ASSERT_NE(alias, longName);
    EXPECT_EQ(IsExistingDir(alias.c_str(), longName.c_str()), 0);
    EXPECT_EQ(IsExistingDir(longName.c_str(), Lower(alias).c_str()), 0);
    EXPECT_EQ(IsExistingDir(alias.c_str(), module.c_str(), longName.c_str()), 0);
    EXPECT_EQ(IsExistingDir(alias.c_str(), module.c_str()), 1);
    EXPECT_EQ(Cwd(), tmp.Path());
}

TEST_F(ExistingDir, CurrentDriveAndDirectoryAlwaysPutBack) {
    const std::string sub = tmp.Join("SUB");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    const std::string file = tmp.Write("F", "x");
    const char missing = MissingDrive();
    ASSERT_NE(missing, 0);
    const std::vector<std::string> texts = {
        sub, tmp.Join("NONE"), file, std::string(1, missing) + ":\\X", "Z:\\", "Z:\\tmp",
        "C:", "Z:", "SUB", "\\", sub.substr(2), "NONE\\X"};
    for (const std::string& start : {tmp.Path(), std::string("Z:\\tmp"), std::string("C:\\")}) {
        for (const std::string& text : texts) {
            Cd(start);
            const std::string before = Cwd();
            IsExistingDir(text.c_str(), "C:\\SETUP");
            EXPECT_EQ(Cwd(), before) << "after " << text;
            IsExistingDir(text.c_str(), text.c_str());
            EXPECT_EQ(Cwd(), before) << "after " << text << " as the program's own";
        }
    }
}

// The dialog, answered in-process.
class DirDialog : public DirBase {
protected:
    void SetUp() override {
        DirBase::SetUp();
        systemDir = SystemDir();
        ASSERT_FALSE(systemDir.empty());
        CopyText(targetDir, "C:\\windows");
    }
    int Ask(const char* moduleDir = "C:\\SETUP") {
        const int result = AskTargetDir(nullptr, targetDir, systemDir.c_str(), moduleDir);
        EXPECT_FALSE(script.TimedOut()) << "a dialog or box was left open";
        return result;
    }
    // The edit box holds text, all of it selected, and has the focus.
    static void ExpectBoxShows(HWND d, const std::string& text) {
        EXPECT_EQ(DialogScript::Text(d, IDC_TARGET_DIR), text);
        DWORD from = 1, to = 0;
        SendDlgItemMessageA(d, IDC_TARGET_DIR, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                            reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(from, 0u);
        EXPECT_EQ(to, text.size()) << "the whole text is selected";
        EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_TARGET_DIR));
    }
    static DialogScript::Step Type(const std::string& text, HWND* dialog = nullptr) {
        return [text, dialog](HWND d) {
            EXPECT_EQ(Utf8(DialogScript::Caption(d)), u8"目的目錄");
            if (dialog) *dialog = d;
            DialogScript::SetText(d, IDC_TARGET_DIR, text);
            DialogScript::Press(d, IDOK);
        };
    }
    // The question: owned by the dialog, Caption as title, OK and Cancel.
    static DialogScript::Step Question(int answer, const HWND* dialog) {
        return [answer, dialog](HWND box) {
            EXPECT_EQ(DialogScript::Caption(box), Ansi(u8"Quill字型Win 95'安裝程式"));
            EXPECT_EQ(Utf8(DialogScript::BoxText(box)), u8"建立一個新的目錄 ？");
            EXPECT_EQ(GetWindow(box, GW_OWNER), *dialog);
            EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
            EXPECT_NE(GetDlgItem(box, IDCANCEL), nullptr);
            HICON icon = nullptr;
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (HICON i = reinterpret_cast<HICON>(SendMessageA(c, STM_GETICON, 0, 0))) icon = i;
            EXPECT_EQ(icon, LoadIconA(nullptr, IDI_QUESTION));
            DialogScript::Press(box, answer);
        };
    }
    static DialogScript::Step InvalidDirectory(const HWND* dialog) {
        return [dialog](HWND box) {
            EXPECT_EQ(DialogScript::Caption(box), Ansi(u8"Quill字型Win 95'安裝程式"));
            EXPECT_EQ(Utf8(DialogScript::BoxText(box)), u8"不合法之目錄 !");
            EXPECT_EQ(GetWindow(box, GW_OWNER), *dialog);
            DialogScript::Press(box, IDOK);
        };
    }
    // The dialog is activated again as the question closes; the message
    // that follows is already up when this step runs.
    static DialogScript::Step Reactivated() {
        return [](HWND d) {
            EXPECT_EQ(Utf8(DialogScript::Caption(d)), u8"目的目錄");
            if (IsWindowEnabled(d)) {
                ADD_FAILURE() << "no message after the question";
                DialogScript::Press(d, IDCANCEL);
            }
        };
    }
    // Back in the dialog after a refusal: SystemDir shown, then answer.
    DialogScript::Step ShowsSystemDirThen(int answer) {
        const std::string expected = systemDir;
        return [expected, answer](HWND d) {
            EXPECT_EQ(Utf8(DialogScript::Caption(d)), u8"目的目錄");
            ExpectBoxShows(d, expected);
            DialogScript::Press(d, answer);
        };
    }
    // Typed, then refused with message 26 (after the creation question,
    // answered OK, when asked): SystemDir shown, and Cancel.
    void Refused(const std::string& text, bool asked) {
        script.Then(Type(text, &dialog));
        if (asked) script.Then(Question(IDOK, &dialog)).Then(Reactivated());
        script.Then(InvalidDirectory(&dialog)).Then(ShowsSystemDirThen(IDCANCEL));
    }
    void ExpectScriptDone() {
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(script.Unexpected.empty())
            << (script.Unexpected.empty() ? "" : Utf8(script.Unexpected[0]));
    }

    DialogScript script;
    std::string systemDir;
    char targetDir[kPathLen];
    HWND dialog = nullptr;
};

TEST_F(DirDialog, OpensWithTargetDirWhollySelected) {
    CopyText(targetDir, tmp.Path().c_str());
    script.Then([&](HWND d) {
        EXPECT_EQ(Utf8(DialogScript::Caption(d)), u8"目的目錄");
        ExpectBoxShows(d, tmp.Path());
        DialogScript::Press(d, IDCANCEL);
    });
    EXPECT_EQ(Ask(), 0);
    EXPECT_EQ(std::string(targetDir), tmp.Path());
    ExpectScriptDone();
}

TEST_F(DirDialog, ExistingDirectoryIsAcceptedNormalized) {
    Cd("Z:\\tmp");
    script.Then(Type(tmp.Path() + "\\"));
    EXPECT_EQ(Ask(), 1);
    EXPECT_EQ(std::string(targetDir), tmp.Path());
    EXPECT_EQ(Cwd(), "Z:\\tmp");
    ExpectScriptDone();
}

TEST_F(DirDialog, EnterAcceptsARelativeName) {
    const std::string sub = tmp.Join("SUB");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    Cd(tmp.Path());
    script.Then([](HWND d) {
        DialogScript::SetText(d, IDC_TARGET_DIR, "SUB");
        PostMessageA(GetDlgItem(d, IDC_TARGET_DIR), WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(Ask(), 1);
    EXPECT_EQ(std::string(targetDir), sub);
    EXPECT_EQ(Cwd(), tmp.Path());
    ExpectScriptDone();
}

TEST_F(DirDialog, DriveFormsAreAcceptedAsFullPaths) {
    const std::string sub = tmp.Join("SUB");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    RememberC(tmp.Path());
    LeaveDriveC();
    script.Then(Type("c:SUB\\"));
    ASSERT_EQ(Ask(), 1);
    EXPECT_EQ(std::string(targetDir), sub);
    script.Then(Type("C:"));
    EXPECT_EQ(Ask(), 1);
    EXPECT_EQ(std::string(targetDir), tmp.Path());
    EXPECT_EQ(Cwd(), "Z:\\");
    ExpectScriptDone();
}

TEST_F(DirDialog, EmptyBoxIsTheCurrentDirectory) {
    Cd(tmp.Path());
    script.Then(Type(""));
    EXPECT_EQ(Ask(), 1);
    EXPECT_EQ(std::string(targetDir), tmp.Path());
    ExpectScriptDone();
}

TEST_F(DirDialog, NewDirectoryOneLevelDownIsCreatedOnOk) {
    const std::string fresh = tmp.Join("QFONTS");
    script.Then(Type(fresh + "\\", &dialog)).Then(Question(IDOK, &dialog));
    EXPECT_EQ(Ask(), 1);
    EXPECT_EQ(std::string(targetDir), fresh);
    EXPECT_EQ(GetFileAttributesA(fresh.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    ExpectScriptDone();
}

TEST_F(DirDialog, NewBig5DirectoryIsCreated) {
    const std::string fresh = tmp.Path() + Ansi(u8"\\許功");
    script.Then(Type(fresh + "\\", &dialog)).Then(Question(IDOK, &dialog));
    EXPECT_EQ(Ask(), 1);
    EXPECT_EQ(std::string(targetDir), fresh);
    EXPECT_TRUE(Exists(fresh));
    ExpectScriptDone();
}

TEST_F(DirDialog, MissingParentGivesMessage26AndSystemDir) {
    const std::string twoDown = tmp.Join("A\\B");
    Refused(twoDown, true);
    EXPECT_EQ(Ask(), 0);
    EXPECT_EQ(std::string(targetDir), systemDir) << "kept after the final Cancel";
    EXPECT_FALSE(Exists(tmp.Join("A")));
    ExpectScriptDone();
}

TEST_F(DirDialog, CancelInTheQuestionPutsBackSystemDirWithoutAMessage) {
    const std::string fresh = tmp.Join("QFONTS");
    script.Then(Type(fresh, &dialog))
        .Then(Question(IDCANCEL, &dialog))
        .Then(ShowsSystemDirThen(IDOK));
    // OK on SystemDir, which exists, then accepts it.
    EXPECT_EQ(Ask(), 1);
    EXPECT_EQ(std::string(targetDir), systemDir);
    EXPECT_FALSE(Exists(fresh));
    EXPECT_EQ(script.Seen(), 3) << "no other box";
    ExpectScriptDone();
}

// The program's own directory in another case or as its 8.3 alias; the
// source directory not yet made is refused before the question, and
// nothing is made.
TEST_F(DirDialog, TheMediumsDirectoriesInAnySpellingAreRefused) {
    const std::string module = tmp.Join("Quill Setup Program");
    ASSERT_TRUE(CreateDirectoryA(module.c_str(), nullptr));
    for (const std::string& typed : {Upper(module), ShortPath(module)}) {
        Refused(typed, true);
        EXPECT_EQ(Ask(module.c_str()), 0) << typed;
        EXPECT_EQ(std::string(targetDir), systemDir);
    }
    const std::string source = tmp.Join("DISK2");
    Refused(source + "\\.", false);
    EXPECT_EQ(AskTargetDir(nullptr, targetDir, systemDir.c_str(), module.c_str(), source.c_str()), 0);
    EXPECT_FALSE(Exists(source));
    ExpectScriptDone();
}

TEST_F(DirDialog, EmptyBoxInTheProgramsOwnDirectoryIsRefused) {
    Cd(tmp.Path());
    script.Then(Type("", &dialog))
        .Then(Question(IDCANCEL, &dialog))
        .Then(ShowsSystemDirThen(IDCANCEL));
    EXPECT_EQ(Ask(tmp.Path().c_str()), 0);
    EXPECT_EQ(std::string(targetDir), systemDir);
    ExpectScriptDone();
}

TEST_F(DirDialog, DriveThatIsNotThereGivesMessage26) {
    const char missing = MissingDrive();
    ASSERT_NE(missing, 0);
    Refused(std::string(1, missing) + ":\\FONTS", true);
    EXPECT_EQ(Ask(), 0);
    EXPECT_EQ(std::string(targetDir), systemDir);
    ExpectScriptDone();
}

TEST_F(DirDialog, TextLongerThanAPathIsRefusedNotCut) {
    Cd(tmp.Path());
    // tmp\ and a name that brings the whole to 259 characters: still a path.
    const std::string most = tmp.Path() + "\\" + std::string(kPathLen - 2 - tmp.Path().size(), 'A');
    ASSERT_EQ(most.size(), static_cast<size_t>(kPathLen - 1));
    // The tree helper can't list a path this long.
    struct Removed {
        const std::string& path;
        ~Removed() { RemoveDirectoryA(path.c_str()); }
    } removed{most};
    script.Then(Type(most, &dialog)).Then(Question(IDOK, &dialog));
    ASSERT_EQ(Ask(), 1);
    EXPECT_EQ(std::string(targetDir), most);
    ASSERT_TRUE(RemoveDirectoryA(most.c_str()));

    // One more character: cut, it would name the directory just made. No
    // question about a directory it can't be: refused at once.
    Refused(most + "B", false);
    ASSERT_EQ(Ask(), 0);
    EXPECT_EQ(std::string(targetDir), systemDir);
    ASSERT_TRUE(ListDir(tmp.Path()).empty()) << "nothing was created";

    // Longer by a double-byte character at the cut.
    std::string big5 = tmp.Path() + "\\";
    while (big5.size() < static_cast<size_t>(kPathLen)) big5 += Ansi(u8"許");
    Refused(big5, false);
    EXPECT_EQ(Ask(), 0);
    EXPECT_TRUE(ListDir(tmp.Path()).empty()) << "nothing was created";
    ExpectScriptDone();
}

TEST_F(DirDialog, CloseBoxAndEscapeCancel) {
    script.Then([](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); });
    ASSERT_EQ(Ask(), 0);
    script.Then([](HWND d) {
        PostMessageA(GetDlgItem(d, IDC_TARGET_DIR), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(Ask(), 0);
    EXPECT_STREQ(targetDir, "C:\\windows");
    ExpectScriptDone();
}

TEST_F(DirDialog, NoDialogResourceGivesZero) {
    // A module without resource 2: DialogBoxParamA fails with -1.
    AppInstance = GetModuleHandleA("kernel32.dll");
    EXPECT_EQ(Ask(), 0);
    EXPECT_EQ(script.Seen(), 0);
    EXPECT_STREQ(targetDir, "C:\\windows");
}

}  // namespace
