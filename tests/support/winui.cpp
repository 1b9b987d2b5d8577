#include "support/winui.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include <cstring>

#include "common/globals.h"
#include "res/resource.h"

DialogScript* DialogScript::current_ = nullptr;

DialogScript::DialogScript() {
    current_ = this;
    hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

DialogScript::~DialogScript() {
    Disarm();
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
}

DialogScript& DialogScript::Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

namespace {

bool IsDialog(HWND w) {
    char cls[32] = "";
    GetClassNameA(w, cls, sizeof cls);
    return strcmp(cls, "#32770") == 0;
}

BOOL CALLBACK CancelDialog(HWND w, LPARAM) {
    if (IsDialog(w)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

}  // namespace

LRESULT CALLBACK DialogScript::Hook(int code, WPARAM wp, LPARAM lp) {
    DialogScript* s = current_;
    HWND w = reinterpret_cast<HWND>(wp);
    if (s && (code == HCBT_CREATEWND || code == HCBT_DESTROYWND || code == HCBT_ACTIVATE) &&
        IsDialog(w)) {
        if (code == HCBT_CREATEWND) {
            ++s->open_;
        } else if (code == HCBT_DESTROYWND) {
            if (s->open_ > 0 && --s->open_ == 0) s->Disarm();
        } else {
            // Texts are filled in after activation: act from the dialog's
            // own message loop, which takes a timer only once it is idle.
            SetTimer(w, 0x5C1, USER_TIMER_MINIMUM, Run);
            s->watchdog_ = SetTimer(nullptr, s->watchdog_, kWait, Watchdog);
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void DialogScript::Disarm() {
    if (watchdog_) KillTimer(nullptr, watchdog_);
    watchdog_ = 0;
}

void CALLBACK DialogScript::Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    DialogScript* s = current_;
    if (!s || s->watchdog_ != id) return;
    s->watchdog_ = 0;
    s->timedOut_ = true;
    s->Unexpected.push_back("a dialog still open " + std::to_string(kWait) +
                            " ms after it was last activated");
    EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
}

void CALLBACK DialogScript::Run(HWND dialog, UINT, UINT_PTR id, DWORD) {
    KillTimer(dialog, id);
    DialogScript* s = current_;
    if (!s || !IsWindow(dialog)) return;
    ++s->seen_;
    if (s->next_ < s->steps_.size()) {
        s->steps_[s->next_++](dialog);
        return;
    }
    s->Unexpected.push_back(Caption(dialog) + ": " + BoxText(dialog) + Text(dialog, IDC_PROMPT_TEXT));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

std::string DialogScript::Caption(HWND dialog) {
    char buf[1024] = "";
    GetWindowTextA(dialog, buf, sizeof buf);
    return buf;
}

std::string DialogScript::Text(HWND dialog, int id) {
    char buf[1024] = "";
    GetDlgItemTextA(dialog, id, buf, sizeof buf);
    return buf;
}

void DialogScript::SetText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

void DialogScript::Press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool DialogScript::WhollySelected(HWND dialog, int id) {
    DWORD from = 1, to = 0;
    SendDlgItemMessageA(dialog, id, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return GetFocus() == GetDlgItem(dialog, id) && from == 0 && to == Text(dialog, id).size();
}

StatusRecorder* StatusRecorder::current_ = nullptr;

StatusRecorder::StatusRecorder() {
    current_ = this;
    window_ = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    status_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 160, 280, 30,
                              window_, reinterpret_cast<HMENU>(IDC_STATUS), GetModuleHandleA(nullptr),
                              nullptr);
    old_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(status_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    MainDialog = window_;
}

StatusRecorder::~StatusRecorder() {
    MainDialog = nullptr;
    DestroyWindow(window_);
    current_ = nullptr;
}

std::string StatusRecorder::Current() const {
    char buf[1024] = "";
    GetWindowTextA(status_, buf, sizeof buf);
    return buf;
}

LRESULT CALLBACK StatusRecorder::Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SETTEXT && current_) current_->Texts.push_back(reinterpret_cast<const char*>(lp));
    return CallWindowProcA(current_ ? current_->old_ : DefWindowProcA, w, m, wp, lp);
}

void CapturedStdout::Start(const std::string& file) {
    file_ = file;
    fflush(stdout);
    saved_ = _dup(_fileno(stdout));
    int fd = _open(file.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
    _dup2(fd, _fileno(stdout));
    _close(fd);
}

std::string CapturedStdout::Read() {
    Restore();
    return ReadBytes(file_);
}

void CapturedStdout::Restore() {
    if (saved_ < 0) return;
    fflush(stdout);
    _dup2(saved_, _fileno(stdout));
    _close(saved_);
    saved_ = -1;
}
