#include "driver.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

namespace qdriver {
namespace {

constexpr UINT kKilledExitCode = 0xDEAD;
constexpr UINT kKeyF1 = 0x004D;  // WM_KEYF1, missing from the headers

std::string Hex(const void* p) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%p", p);
    return buf;
}

std::string Quote(const std::string& ansi) { return "\"" + Utf8(ansi) + "\""; }

std::string ClassOf(HWND w) {
    char buf[256] = "";
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

// Never sends a message, so listing a hung program's windows can't hang.
std::string TitleOf(HWND w) {
    char buf[1024] = "";
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

WindowInfo InfoOf(HWND w) {
    WindowInfo info{w, 0, ClassOf(w), TitleOf(w), IsWindowVisible(w) != FALSE,
                    IsWindowEnabled(w) != FALSE, RECT{}};
    if (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) info.id = GetDlgCtrlID(w);
    GetWindowRect(w, &info.rect);
    return info;
}

BOOL CALLBACK AddChild(HWND w, LPARAM p) {
    reinterpret_cast<std::vector<WindowInfo>*>(p)->push_back(InfoOf(w));
    return TRUE;
}

struct Search {
    DWORD pid;
    std::vector<WindowInfo> found;
};

BOOL CALLBACK AddOwnWindow(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->pid) s->found.push_back(InfoOf(w));
    return TRUE;
}

LRESULT Send(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(w, msg, wp, lp, SMTO_BLOCK, kWait, &result)) {
        char what[64];
        std::snprintf(what, sizeof what, "message 0x%04X", msg);
        throw Failure(std::string(what) + " got no answer within " +
                      std::to_string(kWait) + " ms from " + Describe(w));
    }
    return static_cast<LRESULT>(result);
}

void Post(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (!PostMessageA(w, msg, wp, lp))
        throw Failure("could not post to " + Describe(w));
}

// True when done() held within ms. Asked again as soon as one of wake is
// signalled (the program wrote or ended), and every 15 ms besides: a change
// of another program's window signals nothing here.
bool Poll(const std::function<bool()>& done, DWORD ms, const std::vector<HANDLE>& wake = {}) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= ms) return false;
        const DWORD tick = std::min<DWORD>(15, ms - spent);
        if (wake.empty()) Sleep(tick);
        else WaitForMultipleObjects(static_cast<DWORD>(wake.size()), wake.data(), FALSE, tick);
    }
}

// A user can only reach a control that is shown and enabled, in a window
// that is enabled (not behind a modal dialog).
void CheckReachable(HWND w, const char* action) {
    const std::string cannot = std::string("cannot ") + action + " " + Describe(w) + ": ";
    if (!IsWindow(w)) throw Failure(cannot + "no such window");
    if (!IsWindowVisible(w)) throw Failure(cannot + "it is hidden");
    for (HWND p = w; p && p != GetDesktopWindow(); p = GetAncestor(p, GA_PARENT)) {
        if (p == w && !IsWindowEnabled(p)) throw Failure(cannot + "it is disabled");
        if (!IsWindowEnabled(p))
            throw Failure(cannot + "its window is disabled (a modal window open?): " +
                          Describe(p));
    }
}

// Where a key pressed in w lands: the focus of w's thread, if inside w.
HWND KeyTarget(HWND w) {
    CheckReachable(w, "send keys to");
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gui) && gui.hwndFocus &&
        (gui.hwndFocus == w || IsChild(w, gui.hwndFocus)))
        return gui.hwndFocus;
    return w;
}

bool IsMultiSel(HWND list) {
    return GetWindowLongA(list, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL);
}

bool ItemSelected(HWND list, int index) { return Send(list, LB_GETSEL, index, 0) > 0; }

// Scrolls the item into view as a user would, then gives its centre.
POINT ItemPoint(HWND list, int index) {
    const LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count)
        throw Failure("no item " + std::to_string(index) + " in list " + Describe(list) +
                      " of " + std::to_string(count) + " lines");
    RECT item{}, client{};
    GetClientRect(list, &client);
    Send(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    if (item.top < client.top || item.bottom > client.bottom) {
        Send(list, LB_SETTOPINDEX, index, 0);
        Send(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    }
    return POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
}

}  // namespace

std::string ModuleDir() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

std::string Describe(const WindowInfo& w) {
    char rect[64];
    std::snprintf(rect, sizeof rect, " (%ld,%ld)-(%ld,%ld)", w.rect.left, w.rect.top,
                  w.rect.right, w.rect.bottom);
    return Hex(w.hwnd) + " " + w.cls + (w.id ? " id " + std::to_string(w.id) : "") + " " +
           Quote(w.title) + (w.visible ? " visible" : " hidden") +
           (w.enabled ? "" : " disabled") + rect;
}

std::string Describe(HWND w) {
    return IsWindow(w) ? Describe(InfoOf(w)) : Hex(w) + " (no such window)";
}

// ---- controls --------------------------------------------------------------

std::vector<WindowInfo> Children(HWND dlg) {
    std::vector<WindowInfo> out;
    EnumChildWindows(dlg, AddChild, reinterpret_cast<LPARAM>(&out));
    return out;
}

HWND Control(HWND dlg, int id) {
    if (HWND w = GetDlgItem(dlg, id)) return w;
    std::string list;
    for (const WindowInfo& c : Children(dlg)) list += "\n  " + Describe(c);
    throw Failure("no control with id " + std::to_string(id) + " in " + Describe(dlg) +
                  "; its controls:" + list);
}

std::string Text(HWND w) {
    // WM_GETTEXTLENGTH may count characters, not bytes: room for both.
    const LRESULT len = Send(w, WM_GETTEXTLENGTH, 0, 0);
    std::string buf(len * 2 + 2, '\0');
    Send(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(&buf[0]));
    buf.resize(std::strlen(buf.c_str()));
    return buf;
}

std::string Text(HWND dlg, int id) { return Text(Control(dlg, id)); }

void SetText(HWND w, const std::string& text) {
    CheckReachable(w, "type into");
    if (ClassOf(w) == "Edit" && (GetWindowLongA(w, GWL_STYLE) & ES_READONLY))
        throw Failure("cannot type into read-only " + Describe(w));
    Send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetText(HWND dlg, int id, const std::string& text) { SetText(Control(dlg, id), text); }

std::vector<std::string> ListLines(HWND list) {
    // Wine 8 answers a cross-process LB_GETTEXT sent as A with UTF-16 text,
    // so the lines are read as W and converted here.
    std::vector<std::string> lines;
    const LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        std::wstring buf(Send(list, LB_GETTEXTLEN, i, 0) + 1, L'\0');
        DWORD_PTR len = 0;
        if (!SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&buf[0]),
                                 SMTO_BLOCK, kWait, &len))
            throw Failure("no answer to LB_GETTEXT from " + Describe(list));
        std::string line(buf.size() * 2 + 1, '\0');
        line.resize(WideCharToMultiByte(CP_ACP, 0, buf.c_str(), -1, &line[0],
                                        static_cast<int>(line.size()), nullptr, nullptr) - 1);
        lines.push_back(line);
    }
    return lines;
}

std::vector<int> ListSelection(HWND list) {
    if (!IsMultiSel(list)) {
        const LRESULT cur = Send(list, LB_GETCURSEL, 0, 0);
        return cur == LB_ERR ? std::vector<int>{} : std::vector<int>{static_cast<int>(cur)};
    }
    std::vector<int> items(Send(list, LB_GETSELCOUNT, 0, 0));
    if (!items.empty())
        items.resize(Send(list, LB_GETSELITEMS, items.size(),
                          reinterpret_cast<LPARAM>(items.data())));
    return items;
}

// Real mouse messages rather than LB_SETSEL and a made-up LBN_SELCHANGE: the
// list box's own code then decides what a click selects and whether its
// owner is told (LBS_NOTIFY), so a wrong style fails here as for a user.
void SelectListItem(HWND list, int index, bool selected) {
    CheckReachable(list, "click in");
    const bool multi = IsMultiSel(list);
    if (!multi && !selected)
        throw Failure("a click cannot clear the selection of single-selection list " +
                      Describe(list));
    const POINT pt = ItemPoint(list, index);
    if (ItemSelected(list, index) == selected) return;
    const WPARAM keys = (GetWindowLongA(list, GWL_STYLE) & LBS_EXTENDEDSEL) ? MK_CONTROL : 0;
    Post(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(pt.x, pt.y));
    Post(list, WM_LBUTTONUP, keys, MAKELPARAM(pt.x, pt.y));
    if (!Poll([&] { return ItemSelected(list, index) == selected; }, kWait))
        throw Failure("item " + std::to_string(index) + " of " + Describe(list) +
                      " still " + (selected ? "unselected" : "selected") + " " +
                      std::to_string(kWait) + " ms after a click");
}

void DoubleClickListItem(HWND list, int index) {
    CheckReachable(list, "double-click in");
    const POINT pt = ItemPoint(list, index);
    const LPARAM at = MAKELPARAM(pt.x, pt.y);
    Post(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Post(list, WM_LBUTTONUP, 0, at);
    Post(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    Post(list, WM_LBUTTONUP, 0, at);
}

void Click(HWND button) {
    CheckReachable(button, "click");
    Post(button, BM_CLICK, 0, 0);
}

void Click(HWND dlg, int id) { Click(Control(dlg, id)); }

void PressKey(HWND w, UINT vk, bool alt) {
    const HWND to = KeyTarget(w);
    const LPARAM down = 1 | (MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16);
    const LPARAM up = down | 0xC0000000;  // previous state down, released
    if (alt) {
        const LPARAM altDown = 1 | (MapVirtualKeyA(VK_MENU, MAPVK_VK_TO_VSC) << 16);
        const LPARAM context = 1 << 29;  // Alt held
        Post(to, WM_SYSKEYDOWN, VK_MENU, altDown | context);
        Post(to, WM_SYSKEYDOWN, vk, down | context);
        Post(to, WM_SYSKEYUP, vk, up | context);
        Post(to, WM_KEYUP, VK_MENU, altDown | 0xC0000000);
    } else {
        Post(to, WM_KEYDOWN, vk, down);
        // Wine makes WM_KEYF1 (then WM_HELP) only from a real key press.
        if (vk == VK_F1) Post(to, kKeyF1, 0, 0);
        Post(to, WM_KEYUP, vk, up);
    }
}

void TypeText(HWND w, const std::string& text) {
    // A posted DBCS WM_CHAR is converted with the keyboard's code page, not 950.
    for (unsigned char c : text)
        if (c >= 0x80) throw Failure("TypeText types ASCII only; use SetText for " + Quote(text));
    const HWND to = KeyTarget(w);
    for (unsigned char c : text) Post(to, WM_CHAR, c, 1);
}

void Close(HWND w) {
    CheckReachable(w, "close");
    Post(w, WM_CLOSE, 0, 0);
}

// ---- message boxes ---------------------------------------------------------

// A dialog with only statics and buttons, one static being the text (0xFFFF).
bool IsMessageBox(HWND w) {
    if (ClassOf(w) != "#32770") return false;
    bool text = false;
    for (const WindowInfo& c : Children(w)) {
        if (c.cls != "Static" && c.cls != "Button") return false;
        text |= c.cls == "Static" && c.id == 0xFFFF;
    }
    return text;
}

std::string MessageBoxText(HWND box) { return Text(box, 0xFFFF); }

void Answer(HWND box, int id, DWORD ms) {
    const HWND button = Control(box, id);
    if (ClassOf(button) != "Button")
        throw Failure("control " + std::to_string(id) + " of " + Describe(box) + " is no button");
    CheckReachable(button, "answer with");
    Post(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    if (!Poll([&] { return !IsWindow(box); }, ms))
        throw Failure("message box " + Describe(box) + " still open " + std::to_string(ms) +
                      " ms after answering " + std::to_string(id));
}

// ---- process ---------------------------------------------------------------

struct Process::Pipe {
    ~Pipe() { CloseHandle(wrote); }
    HANDLE read = nullptr;
    HANDLE wrote = CreateEventA(nullptr, FALSE, FALSE, nullptr);  // text came, or the end
    std::mutex mutex;
    std::condition_variable ended;
    std::string text;
    bool done = false;
    std::thread reader;
};

Process::Process(const std::string& exe, const std::string& args, const std::string& dir,
                 bool capture)
    : exe_(exe) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    HANDLE write = nullptr;
    if (capture) {
        pipe_ = std::make_shared<Pipe>();
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        if (!CreatePipe(&pipe_->read, &write, &sa, 1 << 16))
            throw Failure("CreatePipe failed: " + std::to_string(GetLastError()));
        SetHandleInformation(pipe_->read, HANDLE_FLAG_INHERIT, 0);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = si.hStdError = write;
    }
    std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    PROCESS_INFORMATION pi{};
    const BOOL ok = CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, capture, 0, nullptr,
                                   dir.c_str(), &si, &pi);
    const DWORD error = GetLastError();
    if (write) CloseHandle(write);  // the child holds the only writer now
    if (!ok) {
        if (pipe_) CloseHandle(pipe_->read);
        throw Failure("cannot start " + Quote(exe) + " " + args + " in " + Quote(dir) +
                      ": error " + std::to_string(error));
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    id_ = pi.dwProcessId;
    if (pipe_) {
        // The reader owns a share of the pipe, so it may outlive us if a
        // grandchild keeps the write end open.
        auto pipe = pipe_;
        pipe_->reader = std::thread([pipe] {
            char buf[4096];
            DWORD got = 0;
            while (ReadFile(pipe->read, buf, sizeof buf, &got, nullptr) && got) {
                std::lock_guard<std::mutex> lock(pipe->mutex);
                pipe->text.append(buf, got);
                SetEvent(pipe->wrote);
            }
            CloseHandle(pipe->read);
            std::lock_guard<std::mutex> lock(pipe->mutex);
            pipe->done = true;
            pipe->ended.notify_all();
            SetEvent(pipe->wrote);
        });
    }
}

Process::~Process() {
    Kill();
    if (pipe_) {
        // Nobody reads the output any more: no wait for a grandchild that
        // may keep the pipe open.
        bool done;
        {
            std::lock_guard<std::mutex> lock(pipe_->mutex);
            done = pipe_->done;
        }
        if (done) pipe_->reader.join();
        else pipe_->reader.detach();
    }
    CloseHandle(process_);
}

// After the program ended, what it wrote last may still be in the pipe.
bool Process::WaitPipe() const {
    if (!pipe_) return true;
    std::unique_lock<std::mutex> lock(pipe_->mutex);
    return pipe_->ended.wait_for(lock, std::chrono::milliseconds(kWait), [&] { return pipe_->done; });
}

bool Process::Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

std::string Process::Output() const {
    if (!pipe_) return "";
    std::lock_guard<std::mutex> lock(pipe_->mutex);
    return pipe_->text;
}

std::vector<WindowInfo> Process::Windows() const {
    Search search{id_, {}};
    EnumWindows(AddOwnWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Process::DescribeWindows() const {
    std::string out;
    for (const WindowInfo& w : Windows()) {
        out += "  " + Describe(w) + "\n";
        if (w.visible)
            for (const WindowInfo& c : Children(w.hwnd)) out += "      " + Describe(c) + "\n";
    }
    return out.empty() ? "  (none)\n" : out;
}

std::string Process::State() const {
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    std::string out = "program " + std::to_string(id_) + " " + Quote(exe_) +
                      (Running() ? " is running" : " ended with exit code " +
                                                       std::to_string(code)) +
                      "; its top-level windows:\n" + DescribeWindows();
    if (pipe_) {
        std::string text = Output();
        if (text.size() > 1500) text = "..." + text.substr(text.size() - 1500);
        out += "its output:\n" + Utf8(text);
    }
    return out;
}

HWND Process::Find(const char* cls, const char* title) const {
    for (const WindowInfo& w : Windows())
        if (w.visible && (!cls || w.cls == cls) && (!title || w.title == title)) return w.hwnd;
    return nullptr;
}

void Process::WaitUntil(const std::function<bool()>& done, const std::string& what,
                        DWORD ms) const {
    bool ended = false;
    std::vector<HANDLE> wake{process_};
    if (pipe_) wake.push_back(pipe_->wrote);
    if (Poll([&] { return done() || (ended = !Running()); }, ms, wake) && !ended) return;
    if (ended) {
        WaitPipe();
        if (done()) return;
    }
    throw Failure((ended ? "the program ended while waiting for "
                         : "timed out after " + std::to_string(ms) + " ms waiting for ") +
                  what + "\n" + State());
}

void Process::WaitOutput(const std::string& text, DWORD ms) const {
    WaitUntil([&] { return Output().find(text) != std::string::npos; },
              "output " + Quote(text), ms);
}

HWND Process::WaitWindow(const char* cls, const char* title, DWORD ms) const {
    std::string what = "a visible window";
    if (cls) what += " of class \"" + std::string(cls) + "\"";
    if (title) what += " titled " + Quote(title);
    HWND found = nullptr;
    WaitUntil([&] { return (found = Find(cls, title)) != nullptr; }, what, ms);
    return found;
}

HWND Process::WaitMessageBox(DWORD ms) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (const WindowInfo& w : Windows())
                if (w.visible && w.enabled && IsMessageBox(w.hwnd)) return (found = w.hwnd), true;
            return false;
        },
        "a message box", ms);
    return found;
}

void Process::WaitGone(HWND w, DWORD ms) const {
    const std::string what = "window " + Describe(w) + " to close";
    WaitUntil([&] { return !IsWindow(w); }, what, ms);
}

DWORD Process::WaitExit(DWORD ms) {
    if (WaitForSingleObject(process_, ms) == WAIT_TIMEOUT) {
        const std::string state = State();
        Kill();
        throw Failure("timed out after " + std::to_string(ms) +
                      " ms waiting for the program to end; ended it.\n" + state);
    }
    WaitPipe();
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

void Process::Kill() {
    if (!Running()) return;
    TerminateProcess(process_, kKilledExitCode);
    WaitForSingleObject(process_, kWait);
}

}  // namespace qdriver
