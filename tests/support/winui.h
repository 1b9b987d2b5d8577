// In-process helpers for tests that call code which opens modal dialogs and
// message boxes, sets the status line or writes the trace.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/testutil.h"

// Answers the dialogs and message boxes this thread opens, one step per
// activation, in order. A dialog is also activated again when a box it owns
// closes; that is a step too. A dialog with no step left is recorded in
// Unexpected and cancelled. A dialog still open kWait after the last
// activation (a step that answered nothing) is taken for a hang: recorded,
// TimedOut(), and every dialog of the thread cancelled.
class DialogScript {
public:
    using Step = std::function<void(HWND)>;
    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    DialogScript& Then(Step step);
    int Seen() const { return seen_; }
    bool Done() const { return next_ == steps_.size(); }
    bool TimedOut() const { return timedOut_; }
    std::vector<std::string> Unexpected;

    // What a step may use.
    static std::string Caption(HWND dialog);
    static std::string Text(HWND dialog, int id);
    static std::string BoxText(HWND box) { return Text(box, 0xFFFF); }
    static void SetText(HWND dialog, int id, const std::string& text);
    static void Press(HWND dialog, int id);  // posted, as a click
    // The control has the focus and all its text is selected.
    static bool WhollySelected(HWND dialog, int id);

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);
    static void CALLBACK Run(HWND dialog, UINT, UINT_PTR id, DWORD);
    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD);
    void Disarm();
    static DialogScript* current_;
    HHOOK hook_ = nullptr;
    std::vector<Step> steps_;
    size_t next_ = 0;
    int seen_ = 0;
    int open_ = 0;  // dialogs of the thread
    UINT_PTR watchdog_ = 0;
    bool timedOut_ = false;
};

// A stand-in main dialog whose status line (IDC_STATUS) records every
// text it is given. Sets the program's MainDialog while it lives.
class StatusRecorder {
public:
    StatusRecorder();
    ~StatusRecorder();
    std::vector<std::string> Texts;
    std::string Current() const;

private:
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp);
    static StatusRecorder* current_;
    HWND window_ = nullptr;
    HWND status_ = nullptr;
    WNDPROC old_ = nullptr;
};

// Points the C standard output at a file while it lives (by default one
// of its own, removed with it); Read() restores it and returns what was
// written.
class CapturedStdout {
public:
    CapturedStdout() : own_(new TempDir) { Start(own_->Join("stdout.txt")); }
    explicit CapturedStdout(const std::string& file) { Start(file); }
    ~CapturedStdout() { Restore(); }
    std::string Read();

private:
    void Start(const std::string& file);
    void Restore();
    std::unique_ptr<TempDir> own_;
    std::string file_;
    int saved_ = -1;
};
