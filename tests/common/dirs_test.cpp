// Typed destination directories and the destination dialog, on the real
// platform under code page 950. Drive C holds Wine's Windows tree and the
// temporary directories; drive Z is the Unix file system.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/dirs.h"
#include "common/globals.h"
#include "common/messages.h"
#include "support/testutil.h"
#include "support/winui.h"

namespace {

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
std::string MissingDrive() {
    const DWORD mask = GetLogicalDrives();
    if (!(mask & (1UL << ('Q' - 'A')))) return "Q";
    for (char c = 'Y'; c >= 'D'; --c)
        if (!(mask & (1UL << (c - 'A')))) return std::string(1, c);
    throw std::runtime_error("every drive letter is taken");
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

// The current directory and drive C's remembered one put back after.
class DirBase : public ::testing::Test {
protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(nullptr);
        LoadCaption();
    }
    void TearDown() override { AppInstance = GetModuleHandleA(nullptr); }
    // The platform keeps each drive's remembered directory in "=C:" and the
    // like; SetCurrentDirectoryA alone does not set it under Wine.
    static void RememberC(const std::string& dir) {
        ASSERT_TRUE(SetEnvironmentVariableA("=C:", dir.c_str()));
    }
    // Off drive C, so that C: and C:X take the remembered directory.
    void LeaveDriveC() const { saved.Enter("Z:\\"); }

    TempDir tmp;
    const CurrentDirectory saved;
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
        saved.Restore();
        if (c.rememberedC) RememberC(remembered);
        saved.Enter(cwd);
        if (c.normalized) {
            EXPECT_EQ(Normalized(typed), at(c.normalized)) << c.why << where;
        }
        if (c.accepted) {
            EXPECT_EQ(Accepted(typed), at(c.accepted)) << c.why << where;
        }
        EXPECT_EQ(CurrentDirectory::Now(), cwd) << where;
    }
}

TEST_F(TypedDir, Big5TrailByteIsNotABackslash) {
    const std::string xu = Ansi(u8"C:\\許");
    EXPECT_EQ(Trimmed(xu), xu);
    EXPECT_EQ(Trimmed(xu + "\\"), xu);
    EXPECT_EQ(Trimmed(Ansi(u8"C:\\功蓋")), Ansi(u8"C:\\功蓋"));
}

TEST_F(TypedDir, DriveThatIsNotThereStaysAsTyped) {
    const std::string drive = MissingDrive();
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
    saved.Enter(deep.Path());
    // 200 + backslash + 58 = 259 characters: the most a path holds.
    const std::string fits(58, 'F');
    EXPECT_EQ(Normalized(fits), deep.Path() + "\\" + fits);
    EXPECT_EQ(Normalized(fits + "G"), "") << "refused, not cut";
    EXPECT_EQ(Normalized(std::string(200, 'G')), "");
    // Cut inside 許 would leave half a character; refused as well.
    std::string big5;
    while (big5.size() < 60) big5 += Ansi(u8"許");
    EXPECT_EQ(Normalized(big5), "");
    EXPECT_EQ(CurrentDirectory::Now(), deep.Path());
}

TEST_F(TypedDir, CurrentDirectoryOfTheFullLength) {
    DeepDir deep(tmp.Path(), kPathLen - 1);
    ASSERT_TRUE(deep.Made());
    saved.Enter(deep.Path());
    EXPECT_EQ(Normalized(""), deep.Path());
    EXPECT_EQ(Normalized("X"), "");
    EXPECT_EQ(Normalized("\\X"), "C:\\X");
}

TEST_F(TypedDir, FromTheRootThatWouldNotFitIsRefused) {
    saved.Enter(tmp.Path());
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

// What IsExistingDir makes of a text where the program's own directory is
// module and its pieces come from source (none when empty): 1 for a
// directory that is neither, compared as full paths without case, in any
// spelling; at a drive root the program's directory is kept as "Z:". Asked
// standing in the test's directory; from there and from elsewhere, the
// current drive and directory are put back whatever the text, also when it
// is taken for the program's own.
TEST_F(ExistingDir, EveryFormInTheTable) {
    const std::string sub = tmp.Join("SUB"), module = tmp.Join("Setup"), source = tmp.Join("Disk2"),
                      big5 = tmp.Path() + Ansi(u8"\\許功"), longName = tmp.Join("Quill Setup Program");
    for (const std::string& dir : {sub, module, source, big5, longName})
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
    const std::string file = tmp.Write("FONT.TTE", "x"), alias = ShortPath(longName), noDrive = module.substr(2);
    ASSERT_NE(alias, longName);
    const std::string other = "C:\\ELSEWHERE";
    const struct {
        std::string text, module, source;
        int exists;
    } rows[] = {
        {sub, other, "", 1}, {Lower(sub), other, "", 1}, {"SUB", other, "", 1}, {sub.substr(2), other, "", 1},
        {"C:\\", other, "", 1}, {"Z:\\", other, "", 1}, {"Z:\\tmp", other, "", 1}, {"C:", other, "", 1},
        {"Z:", other, "", 1}, {"\\", other, "", 1},
        // Not a directory.
        {file, "", "", 0}, {"FONT.TTE", "", "", 0}, {tmp.Join("NONE"), "", "", 0}, {"NONE\\X", other, "", 0},
        {"", "", "", 0}, {MissingDrive() + ":\\", "", "", 0}, {MissingDrive() + ":\\X", other, "", 0},
        {"1:\\", "", "", 0},
        // The program's own directory in any case, without its drive, in Big5.
        {module, other, "", 1}, {module, module, "", 0}, {Upper(module), module, "", 0},
        {Lower(module), Upper(module), "", 0}, {noDrive, other, "", 1}, {noDrive, module, "", 0},
        {Lower(noDrive), Upper(module), "", 0}, {big5, module, "", 1}, {big5, big5, "", 0},
        // In every spelling, and so the source directory.
        {module + "\\.", module, "", 0}, {module + "\\", module, "", 0}, {module + "\\..\\Setup", module, "", 0},
        {"Setup", module, "", 0}, {Lower(module), module, "", 0}, {source, module, "", 1},
        {source, module, source + "\\", 0}, {"Disk2\\.", module, source, 0},
        {"Z:", "Z:", "", 0}, {"Z:\\", "Z:", "", 0}, {"Z:\\.", "Z:", "", 0}, {"Z:\\tmp\\..", "Z:", "", 0},
        {"Z:\\tmp", "Z:", "", 1},
        // A long name and its short (8.3) alias, either way round.
        {alias, longName, "", 0}, {longName, Lower(alias), "", 0}, {alias, module, longName, 0},
        {alias, module, "", 1},
    };
    for (const auto& r : rows) {
        const std::string where = "\"" + r.text + "\" for " + r.module + " and " + r.source;
        for (const std::string& start : {tmp.Path(), std::string("Z:\\tmp"), std::string("C:\\")}) {
            saved.Enter(start);
            const int exists = IsExistingDir(r.text.c_str(), r.module.c_str(),
                                             r.source.empty() ? nullptr : r.source.c_str());
            if (start == tmp.Path()) {
                EXPECT_EQ(exists, r.exists) << where;
            }
            EXPECT_EQ(CurrentDirectory::Now(), start) << where;
            IsExistingDir(r.text.c_str(), r.text.c_str());
            EXPECT_EQ(CurrentDirectory::Now(), start) << where << " as the program's own";
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
    void TearDown() override {
        EXPECT_TRUE(script.Done()) << "a scripted dialog never came";
        EXPECT_TRUE(script.Unexpected.empty()) << (script.Unexpected.empty() ? "" : Utf8(script.Unexpected[0]));
        DirBase::TearDown();
    }
    int Ask(const char* moduleDir = "C:\\SETUP", const char* sourceDir = nullptr) {
        const int result = AskTargetDir(nullptr, targetDir, systemDir.c_str(), moduleDir, sourceDir);
        EXPECT_FALSE(script.TimedOut()) << "a dialog or box was left open";
        return result;
    }
    // The edit box holds text, all of it selected, and has the focus.
    static void ExpectBoxShows(HWND d, const std::string& text) {
        EXPECT_EQ(DialogScript::Text(d, IDC_TARGET_DIR), text);
        EXPECT_TRUE(DialogScript::WhollySelected(d, IDC_TARGET_DIR));
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
}

// Accepted as typed where the program stands (drive C remembers the
// test's directory), as a full path; a directory not there is made after
// the creation question, up to the longest path. The current directory
// stays.
TEST_F(DirDialog, AcceptedTexts) {
    const std::string sub = tmp.Join("SUB"), fresh = tmp.Join("QFONTS"), big5 = tmp.Path() + Ansi(u8"\\許功");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    // tmp\ and a name that brings the whole to 259 characters: still a path.
    const std::string most = tmp.Path() + "\\" + std::string(kPathLen - 2 - tmp.Path().size(), 'A');
    ASSERT_EQ(most.size(), static_cast<size_t>(kPathLen - 1));
    RememberC(tmp.Path());
    const struct {
        std::string cwd, typed;
        bool asked;
        std::string accepted;
    } rows[] = {
        {"Z:\\tmp", tmp.Path() + "\\", false, tmp.Path()}, {tmp.Path(), "", false, tmp.Path()},
        {"Z:\\", "c:SUB\\", false, sub},  {"Z:\\", "C:", false, tmp.Path()},
        {"Z:\\", fresh + "\\", true, fresh}, {"Z:\\", big5 + "\\", true, big5},
        {tmp.Path(), most, true, most},
    };
    for (const auto& r : rows) {
        saved.Enter(r.cwd);
        script.Then(Type(r.typed, &dialog));
        if (r.asked) script.Then(Question(IDOK, &dialog));
        EXPECT_EQ(Ask(), 1) << r.typed;
        EXPECT_EQ(std::string(targetDir), r.accepted) << r.typed;
        EXPECT_EQ(GetFileAttributesA(targetDir), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY)) << r.typed;
        EXPECT_EQ(CurrentDirectory::Now(), r.cwd) << r.typed;
        // Made new; the tree helper can't list the longest path.
        if (r.asked) {
            EXPECT_TRUE(RemoveDirectoryA(targetDir)) << r.typed;
        }
    }
}

TEST_F(DirDialog, EnterAcceptsARelativeName) {
    const std::string sub = tmp.Join("SUB");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    saved.Enter(tmp.Path());
    script.Then([](HWND d) {
        DialogScript::SetText(d, IDC_TARGET_DIR, "SUB");
        PostMessageA(GetDlgItem(d, IDC_TARGET_DIR), WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(Ask(), 1);
    EXPECT_EQ(std::string(targetDir), sub);
    EXPECT_EQ(CurrentDirectory::Now(), tmp.Path());
}

// Refused with message 26 (after the creation question, answered OK, where
// one comes), SystemDir shown, and Cancel; nothing is made. The program's
// own directory is in the test's directory, its source directory not made.
TEST_F(DirDialog, RefusedTexts) {
    const std::string module = tmp.Join("Quill Setup Program"), source = tmp.Join("DISK2");
    ASSERT_TRUE(CreateDirectoryA(module.c_str(), nullptr));
    const std::string most = tmp.Path() + "\\" + std::string(kPathLen - 2 - tmp.Path().size(), 'A');
    std::string big5 = tmp.Path() + "\\";
    while (big5.size() < static_cast<size_t>(kPathLen)) big5 += Ansi(u8"許");
    const struct {
        std::string typed;
        bool asked;
        const char* why;
    } rows[] = {
        {tmp.Join("A\\B"), true, "its parent is missing"},
        {MissingDrive() + ":\\FONTS", true, "no such drive"},
        {Upper(module), true, "the program's own directory in another case"},
        {ShortPath(module), true, "the program's own directory as its 8.3 alias"},
        {source + "\\.", false, "the source directory: refused before the question"},
        // No question about a directory it can't be: refused at once.
        {most + "B", false, "one longer than a path: cut, it would name another"},
        {big5, false, "longer than a path by a double-byte character at the cut"},
    };
    for (const auto& r : rows) {
        Refused(r.typed, r.asked);
        EXPECT_EQ(Ask(module.c_str(), source.c_str()), 0) << r.why;
        EXPECT_EQ(std::string(targetDir), systemDir) << r.why;
        EXPECT_EQ(ListDir(tmp.Path()), std::vector<std::string>{"Quill Setup Program"}) << r.why;
    }
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
}

TEST_F(DirDialog, EmptyBoxInTheProgramsOwnDirectoryIsRefused) {
    saved.Enter(tmp.Path());
    script.Then(Type("", &dialog))
        .Then(Question(IDCANCEL, &dialog))
        .Then(ShowsSystemDirThen(IDCANCEL));
    EXPECT_EQ(Ask(tmp.Path().c_str()), 0);
    EXPECT_EQ(std::string(targetDir), systemDir);
}

TEST_F(DirDialog, CloseBoxAndEscapeCancel) {
    script.Then([](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); });
    ASSERT_EQ(Ask(), 0);
    script.Then([](HWND d) {
        PostMessageA(GetDlgItem(d, IDC_TARGET_DIR), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(Ask(), 0);
    EXPECT_STREQ(targetDir, "C:\\windows");
}

TEST_F(DirDialog, NoDialogResourceGivesZero) {
    // A module without resource 2: DialogBoxParamA fails with -1.
    AppInstance = GetModuleHandleA("kernel32.dll");
    EXPECT_EQ(Ask(), 0);
    EXPECT_EQ(script.Seen(), 0);
    EXPECT_STREQ(targetDir, "C:\\windows");
}

}  // namespace
