// Drives the stand-in program (sample_target.cpp) through the driver.
#include "driver/driver.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace qdriver;

namespace {

enum { kList = 101, kStatus, kAsk, kName, kOff, kNameEdit = 200 };
const char kClass[] = "QDriverSample";

std::string Sample() { return ModuleDir() + SAMPLE_TARGET; }

// What f() failed with, or "" when it didn't.
std::string FailureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

long MsSince(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

#define EXPECT_CONTAINS(text, part) \
    EXPECT_NE(std::string(text).find(part), std::string::npos) << (text)

TEST(DriverText, AnsiIsTheBig5CodePage) {
    EXPECT_EQ(Ansi("中文"), "\xa4\xa4\xa4\xe5");
    EXPECT_EQ(Ansi("Font 字型"), "Font \xa6\x72\xab\xac");
    EXPECT_EQ(Ansi(""), "");
    EXPECT_EQ(Utf8("\xa6\x72\xab\xac"), "字型");
    EXPECT_CONTAINS(FailureOf([] { Ansi("한"); }), "not in ANSI code page 950");
}

TEST(DriverProcess, StartFailureNamesTheProgram) {
    EXPECT_CONTAINS(FailureOf([] { Process p(ModuleDir() + "no_such.exe", "", ModuleDir()); }),
                    "no_such.exe");
}

TEST(Driver, FindsWindowsReadsAndClicksLists) {
    Process p(Sample(), "window 5", ModuleDir());
    const std::string title = Ansi("字型安裝");
    HWND main = p.WaitWindow(kClass, title.c_str());
    EXPECT_EQ(p.Find(kClass, "other"), nullptr);
    EXPECT_EQ(Text(main), title);
    EXPECT_CONTAINS(p.DescribeWindows(), "QDriverSample \"字型安裝\" visible");

    HWND list = Control(main, kList);
    const std::vector<std::string> lines = ListLines(list);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], Ansi("細明體"));
    EXPECT_EQ(lines[2], Ansi("新細明體"));
    EXPECT_EQ(lines[9], "Courier New");
    EXPECT_TRUE(ListSelection(list).empty());

    SelectListItem(list, 0);
    SelectListItem(list, 9);  // out of view until scrolled to
    EXPECT_EQ(ListSelection(list), (std::vector<int>{0, 9}));
    // The owner heard of it as of a user's click.
    p.WaitUntil([&] { return Text(main, kStatus) == "selected: 0 9"; }, "status 0 9");
    SelectListItem(list, 0, false);
    SelectListItem(list, 9);  // already selected: no click, no toggle
    EXPECT_EQ(ListSelection(list), std::vector<int>{9});
    p.WaitUntil([&] { return Text(main, kStatus) == "selected: 9"; }, "status 9");

    DoubleClickListItem(list, 4);
    p.WaitOutput("open: 4");

    EXPECT_CONTAINS(FailureOf([&] { SelectListItem(list, 10); }), "no item 10");
    const std::string off = FailureOf([&] { Click(main, kOff); });
    EXPECT_CONTAINS(off, "it is disabled");
    EXPECT_CONTAINS(off, "\"Off\"");
    EXPECT_CONTAINS(FailureOf([&] { Control(main, 999); }), "no control with id 999");

    PressKey(main, VK_F1);
    p.WaitOutput("help");
    PressKey(main, VK_F4, true);
    EXPECT_EQ(p.WaitExit(), 5u);
    EXPECT_EQ(p.Output().rfind("ready", 0), 0u) << p.Output();
    EXPECT_CONTAINS(p.Output(), "exit 5");
}

TEST(Driver, AnswersMessageBoxesAndDialogs) {
    Process p(Sample(), "window 3", ModuleDir());
    HWND main = p.WaitWindow(kClass, nullptr);

    Click(main, kAsk);
    HWND box = p.WaitMessageBox();
    EXPECT_TRUE(IsMessageBox(box));
    EXPECT_EQ(Text(box), Ansi("確認"));
    EXPECT_EQ(MessageBoxText(box), Ansi("要安裝所選的字型嗎？"));
    EXPECT_CONTAINS(Text(box, IDYES), "&Y");  // Wine words it in the locale's language
    // The box is modal: its owner is out of a user's reach.
    EXPECT_CONTAINS(FailureOf([&] { Click(main, kName); }), "its window is disabled");
    // A Yes/No box has no OK to press.
    EXPECT_CONTAINS(FailureOf([&] { Answer(box, IDOK); }), "no control with id 1");
    Answer(box, IDNO);
    EXPECT_FALSE(IsWindow(box));
    p.WaitOutput("answer: 7");
    EXPECT_EQ(Text(main, kStatus), "answer: 7");

    Click(main, kName);
    HWND dlg = p.WaitWindow("#32770", "Font name");
    EXPECT_FALSE(IsMessageBox(dlg));
    EXPECT_EQ(Text(dlg, kNameEdit), "Ming");
    EXPECT_EQ(Children(dlg).size(), 4u);
    SetText(dlg, kNameEdit, Ansi("標楷體"));
    PressKey(dlg, VK_RETURN);  // the default button
    p.WaitGone(dlg);
    p.WaitOutput("name: " + Ansi("標楷體"));

    Click(main, kName);
    dlg = p.WaitWindow("#32770", "Font name");
    SetText(dlg, kNameEdit, "");
    TypeText(Control(dlg, kNameEdit), "abc");
    p.WaitUntil([&] { return Text(dlg, kNameEdit) == "abc"; }, "typed text");
    PressKey(dlg, VK_ESCAPE);
    p.WaitOutput("name cancelled: abc");

    Close(main);
    EXPECT_EQ(p.WaitExit(), 3u);
}

TEST(Driver, TimeoutsSayWhatWasThereAndEndTheProgram) {
    Process p(Sample(), "idle", ModuleDir());
    p.WaitWindow("QDriverIdle", "idle");

    // A limit of its own, waited out whole; past the common limit only a
    // hang would take it.
    auto start = std::chrono::steady_clock::now();
    const std::string error = FailureOf([&] { p.WaitWindow(kClass, nullptr, 800); });
    const long took = MsSince(start);
    EXPECT_GE(took, 750);
    EXPECT_LT(took, static_cast<long>(kWait));
    EXPECT_CONTAINS(error, "timed out after 800 ms waiting for a visible window of class "
                           "\"QDriverSample\"");
    EXPECT_CONTAINS(error, "is running");
    EXPECT_CONTAINS(error, "QDriverIdle \"idle\" visible");
    EXPECT_CONTAINS(error, "ready");  // its output so far
    EXPECT_TRUE(p.Running());

    start = std::chrono::steady_clock::now();
    const std::string exit = FailureOf([&] { p.WaitExit(300); });
    EXPECT_LT(MsSince(start), static_cast<long>(kWait));
    EXPECT_CONTAINS(exit, "waiting for the program to end; ended it");
    EXPECT_CONTAINS(exit, "QDriverIdle \"idle\" visible");
    EXPECT_FALSE(p.Running());
    DWORD code = 0;
    GetExitCodeProcess(p.handle(), &code);
    EXPECT_EQ(code, 0xDEADu);
}

TEST(Driver, AWaitEndsEarlyWhenTheProgramEnds) {
    Process p(Sample(), "quit 4", ModuleDir());
    const auto start = std::chrono::steady_clock::now();
    const std::string error = FailureOf([&] { p.WaitWindow(kClass, nullptr); });
    EXPECT_LT(MsSince(start), static_cast<long>(kWait));
    EXPECT_CONTAINS(error, "the program ended while waiting for a visible window");
    EXPECT_CONTAINS(error, "ended with exit code 4");
    EXPECT_EQ(p.WaitExit(), 4u);
    EXPECT_EQ(p.Output(), "quitting with 4\r\n");  // the CRT writes text mode
}

}  // namespace
