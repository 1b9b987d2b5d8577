// Drives a Windows program through its windows as a user would, from a test
// running under the same Wine. Texts are bytes in the ANSI code page (950),
// as the program's A functions see them. Every wait has a timeout; a failed
// wait or action throws Failure, whose text (UTF-8) says what was awaited,
// for how long, and which windows the program had instead.
// Actions are posted, as input is: wait for their effect (WaitUntil,
// WaitOutput, WaitWindow) before reading what they change.
#pragma once

#include <windows.h>

#include "support/testutil.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace qdriver {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Every wait's limit is kWait (support/testutil.h) unless a test asks for
// a timeout on purpose.
using ::kWait;

// UTF-8 (as written in test sources) to the ANSI code page, and back for
// readable failure text.
using ::Ansi;
using ::Utf8;

// Directory of the running test program, with a trailing backslash.
std::string ModuleDir();

struct WindowInfo {
    HWND hwnd;
    int id;  // control id; 0 for a top-level window
    std::string cls, title;
    bool visible, enabled;
    RECT rect;  // screen coordinates
};
std::string Describe(const WindowInfo& w);
std::string Describe(HWND w);

class Process {
public:
    // Starts exe (full path) with args in dir. With capture, the program's
    // stdout and stderr go to a pipe whose text Output() returns.
    Process(const std::string& exe, const std::string& args,
            const std::string& dir, bool capture = true);
    ~Process();  // ends the program if it still runs
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    HANDLE handle() const { return process_; }
    DWORD id() const { return id_; }
    bool Running() const;
    std::string Output() const;
    void WaitOutput(const std::string& text, DWORD ms = kWait) const;

    // Top-level windows of the program, hidden ones too (Wine gives each
    // GUI thread a hidden "IME" window).
    std::vector<WindowInfo> Windows() const;
    std::string DescribeWindows() const;
    // A visible top-level window; a null class or title matches any.
    HWND Find(const char* cls, const char* title) const;
    HWND WaitWindow(const char* cls, const char* title, DWORD ms = kWait) const;
    HWND WaitMessageBox(DWORD ms = kWait) const;
    void WaitGone(HWND w, DWORD ms = kWait) const;
    // Polls done() until it holds; fails early if the program ends.
    void WaitUntil(const std::function<bool()>& done, const std::string& what,
                   DWORD ms = kWait) const;

    // Exit code. On timeout lists the windows, ends the program, throws.
    DWORD WaitExit(DWORD ms = kWait);
    void Kill();  // TerminateProcess with exit code 0xDEAD

private:
    std::string State() const;
    bool WaitPipe() const;

    std::string exe_;
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    struct Pipe;
    std::shared_ptr<Pipe> pipe_;
};

// Controls. Sent messages time out rather than hang on a busy program.
HWND Control(HWND dlg, int id);  // throws if dlg has no such control
std::vector<WindowInfo> Children(HWND dlg);  // all descendants
std::string Text(HWND w);                    // WM_GETTEXT
std::string Text(HWND dlg, int id);
void SetText(HWND w, const std::string& text);  // WM_SETTEXT, as a paste
void SetText(HWND dlg, int id, const std::string& text);

std::vector<std::string> ListLines(HWND list);
std::vector<int> ListSelection(HWND list);
// Clicks the item when its selection differs (Ctrl+click in an extended
// list), then waits for the list to show the change.
void SelectListItem(HWND list, int index, bool selected = true);
void DoubleClickListItem(HWND list, int index);

// Posted, so a click that opens a modal dialog doesn't block the test.
// Refuses a control that a user couldn't reach: hidden or disabled.
void Click(HWND button);
void Click(HWND dlg, int id);
// Keys go to the control with the focus when it is inside w, else to w.
void PressKey(HWND w, UINT vk, bool alt = false);
void TypeText(HWND w, const std::string& text);  // ASCII, WM_CHAR per byte
void Close(HWND w);                              // posts WM_CLOSE

// A message box is a #32770 dialog of statics and buttons whose text is
// the static with id 0xFFFF; its caption is Text(box).
bool IsMessageBox(HWND w);
std::string MessageBoxText(HWND box);
// Presses the box's button with that id (IDOK, IDYES...) and waits for
// the box to close; throws if the box has no such button.
void Answer(HWND box, int id, DWORD ms = kWait);

}  // namespace qdriver
