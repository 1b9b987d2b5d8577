// Accessory files and their Program Manager item, against Wine's own
// Program Manager DDE server (served by the desktop's explorer.exe).
#include "fixture.h"

#include <dde.h>
#include <ddeml.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <set>
#include <thread>

#include "common/proc.h"
#include "install/misc.h"

namespace {

std::string ProgramsDir() {
    char dir[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, dir);
    return dir;
}

std::string GroupDir(const std::string& group) { return ProgramsDir() + "\\" + group; }

std::string ErrorLine(UINT code) {
    char line[32];
    snprintf(line, sizeof line, "\tDDE Error 0x%x\n", code);
    return line;
}

std::string Head(const std::string& name, const std::string& group) {
    return "Adding " + name + " into group " + group + "\n\tInitializing\n\tConnecting\n";
}

std::string Sent(const std::string& command) { return "\tSending Command " + command + "\n"; }

// The explorer processes there are now.
std::set<DWORD> Explorers() {
    std::set<DWORD> ids;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, "explorer.exe") == 0) ids.insert(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

// The shown folder window of an explorer process, or null.
HWND FolderWindowOf(DWORD process) {
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, "ExplorerWClass", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

// Wine's Program Manager opens a folder window for CreateGroup and for
// ShowGroup by starting an explorer process for each before it answers the
// command; the window shows about half a second later (one for a folder
// already shown ends without a window). Every explorer process that is not
// in before gets its window closed once it shows, and is waited for, so
// nothing is left to take the focus in a later test.
void CloseFolderWindows(const std::set<DWORD>& before) {
    const DWORD start = GetTickCount();
    for (const DWORD id : Explorers()) {
        if (before.count(id) != 0) continue;
        const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
        if (process == nullptr) continue;  // already gone
        HWND closed = nullptr;
        while (WaitForSingleObject(process, 20) == WAIT_TIMEOUT && GetTickCount() - start < kWait) {
            const HWND w = FolderWindowOf(id);
            if (w != nullptr && w != closed) PostMessageA(closed = w, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0) << "a folder window stays";
        CloseHandle(process);
    }
}

// A DDE server of the test's own, on a thread of its own and under a
// service name nobody else uses: it keeps the bytes of every command and
// holds the first one, when asked to, until it is released.
class RecordingServer {
public:
    static constexpr const char* kService = "QSETUP-RECORDER";

    explicit RecordingServer(bool holdFirst = false) {
        current_ = this;
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventA(nullptr, TRUE, holdFirst ? FALSE : TRUE, nullptr);
        thread_ = CreateThread(nullptr, 0, Run, this, 0, &threadId_);
        EXPECT_EQ(WaitForSingleObject(ready_, kWait), WAIT_OBJECT_0);
    }
    ~RecordingServer() { Stop(); }

    // Ends the server's thread; what it recorded may be read from then on.
    void Stop() {
        if (thread_ == nullptr) return;
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        EXPECT_EQ(WaitForSingleObject(thread_, kWait), WAIT_OBJECT_0);
        CloseHandle(thread_);
        CloseHandle(ready_);
        CloseHandle(release_);
        thread_ = nullptr;
        current_ = nullptr;
    }

    void Release() { SetEvent(release_); }

    std::string Topic;                  // of the last connection
    std::vector<std::string> Commands;  // every byte the client sent

private:
    static DWORD WINAPI Run(void* param) {
        RecordingServer* self = static_cast<RecordingServer*>(param);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue for WM_QUIT
        DdeInitializeA(&self->instance_, Callback, APPCLASS_STANDARD, 0);
        HSZ service = DdeCreateStringHandleA(self->instance_, kService, CP_WINANSI);
        DdeNameService(self->instance_, service, nullptr, DNS_REGISTER);
        SetEvent(self->ready_);
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        DdeNameService(self->instance_, service, nullptr, DNS_UNREGISTER);
        DdeFreeStringHandle(self->instance_, service);
        DdeUninitialize(self->instance_);
        return 0;
    }

    static HDDEDATA CALLBACK Callback(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data,
                                      ULONG_PTR, ULONG_PTR) {
        RecordingServer* self = current_;
        if (type == XTYP_CONNECT) {
            char name[64] = "";
            DdeQueryStringA(self->instance_, topic, name, sizeof name, CP_WINANSI);
            self->Topic = name;
            return reinterpret_cast<HDDEDATA>(TRUE);
        }
        if (type == XTYP_EXECUTE) {
            std::string bytes(DdeGetData(data, nullptr, 0, 0), '\0');
            DdeGetData(data, reinterpret_cast<LPBYTE>(&bytes[0]), static_cast<DWORD>(bytes.size()),
                       0);
            self->Commands.push_back(bytes);
            if (self->Commands.size() == 1) WaitForSingleObject(self->release_, kWait);
            return reinterpret_cast<HDDEDATA>(DDE_FACK);
        }
        return nullptr;
    }

    static RecordingServer* current_;
    HANDLE release_ = nullptr;
    DWORD instance_ = 0;
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
};

RecordingServer* RecordingServer::current_ = nullptr;

class Misc : public Engine {
protected:
    void SetUp() override {
        Engine::SetUp();
        // Left by an interrupted run, it would hide what a test makes.
        RemoveTree(GroupDir("Tools"));
        owner = Window("owner", 0);
        other = Window("other", 320);
    }

    void TearDown() override {
        RunTime().ProgmanService = kProgman;
        RemoveTree(GroupDir("Tools"));
        EXPECT_FALSE(Exists(GroupDir("Tools"))) << "the test's group is left in the Start Menu";
        DestroyWindow(other);
        DestroyWindow(owner);
        Engine::TearDown();
    }

    static HWND Window(const char* title, int x) {
        HWND w = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 0, 300,
                                 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(w, nullptr);
        return w;
    }

    // Item 0: the plain one-piece file VIEWER.EXE, for out.
    void Item(const char* group, const char* name = "Viewer") {
        MiscItem& item = SetupInfo.MiscItems[0];
        CopyText(item.Group, group);
        CopyText(item.Name, name);
        CopyText(item.DstDir, out.Path().c_str());
        item.Files = 1;
        item.FirstPiece = Piece("VIEWER.EXE", "Disk 1", &disk1, kProgram);
        item.Compressed = 0;
    }

    // Runs call with the focus away from owner and the standard output
    // captured; returns its result and leaves the trace in lines. The
    // folder windows the call made are closed before it returns.
    template <typename Call>
    int Traced(Call call) {
        SetForegroundWindow(other);
        SetFocus(other);
        EXPECT_EQ(GetFocus(), other) << "the focus must start away from the owner";
        const std::set<DWORD> explorers = Explorers();
        CapturedStdout trace(scratch.Join("trace.txt"));
        const int result = call();
        focus = GetFocus();
        lines = trace.Read();
        CloseFolderWindows(explorers);
        return result;
    }

    int Install() {
        return Traced([this] { return InstallMiscItem(owner, 0); });
    }

    const std::string kProgram = "MZ the viewer";
    TempDir out, scratch;
    HWND owner = nullptr, other = nullptr;
    HWND focus = nullptr;  // right after the call
    std::string lines;     // its trace
};

TEST_F(Misc, EmptyGroupInstallsTheFileWithoutDde) {
    RecordingServer server;
    RunTime().ProgmanService = RecordingServer::kService;
    Item("");
    EXPECT_EQ(Install(), 1);
    server.Stop();
    EXPECT_TRUE(server.Topic.empty()) << "a conversation was made";
    EXPECT_EQ(lines, "Dest " + out.Join("VIEWER.EXE") + "\n");
    EXPECT_EQ(ReadBytes(out.Join("VIEWER.EXE")), kProgram);
    EXPECT_EQ(focus, other) << "no conversation, so nothing to take the focus back from";
}

// ReplaceItem fails on the first install, when there is no item yet, and
// succeeds on the next; either way AddItem is sent and decides.
TEST_F(Misc, ToolsViewerMakesTheStartMenuItemAndReplacesItNextTime) {
    Item("Tools");
    EXPECT_EQ(Install(), 1);
    const std::string path = out.Join("VIEWER.EXE");
    const std::string replace = Sent(R"([ReplaceItem("Viewer")])");
    const std::string add = Sent("[AddItem(\"" + path + "\",\"Viewer\")]") + "\tDone\n";
    EXPECT_EQ(lines, "Dest " + path + "\n" + Head("Viewer", "Tools") +
                         Sent(R"([CreateGroup("Tools")][ShowGroup("Tools",1)])") + replace +
                         ErrorLine(DMLERR_NOTPROCESSED) + add + ErrorLine(DMLERR_NO_ERROR));
    EXPECT_EQ(focus, owner);
    EXPECT_EQ(ReadBytes(path), kProgram);
    EXPECT_EQ(ListDir(GroupDir("Tools")), std::vector<std::string>{"Viewer.lnk"});
    EXPECT_NE(ReadBytes(GroupDir("Tools") + "\\Viewer.lnk").find(path), std::string::npos)
        << "the item points at the installed file";
    EXPECT_EQ(Install(), 1);
    EXPECT_NE(lines.find(replace + ErrorLine(DMLERR_NO_ERROR) + add), std::string::npos) << lines;
    EXPECT_EQ(focus, owner);
    EXPECT_EQ(ListDir(GroupDir("Tools")), std::vector<std::string>{"Viewer.lnk"});
}

TEST_F(Misc, NoServerAnswersTheItemFailsAndItsFileStays) {
    Item("Tools");
    RunTime().ProgmanService = "QSETUP-NOBODY";
    EXPECT_EQ(Install(), 0);
    EXPECT_EQ(lines, "Dest " + out.Join("VIEWER.EXE") + "\n" + Head("Viewer", "Tools") +
                         ErrorLine(DMLERR_NO_CONV_ESTABLISHED));
    EXPECT_EQ(focus, owner);
    EXPECT_EQ(ReadBytes(out.Join("VIEWER.EXE")), kProgram);
    EXPECT_FALSE(Exists(GroupDir("Tools")));
    // No message box: the fixture fails on any dialog it did not expect.
}

// AddItem refuses a file that is not there: no Done, result 0, and what the
// first command made stays.
TEST_F(Misc, FailedAddItemEndsTheConversation) {
    Item("Tools");
    const char* missing = "C:\\NO-SUCH-DIR\\VIEW.EXE";
    const int result = Traced([&] { return AddProgmanItem(owner, 0, missing); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(lines, Head("Viewer", "Tools") + Sent(R"([CreateGroup("Tools")][ShowGroup("Tools",1)])") +
                         Sent(R"([ReplaceItem("Viewer")])") + ErrorLine(DMLERR_NOTPROCESSED) +
                         Sent("[AddItem(\"" + std::string(missing) + "\",\"Viewer\")]") +
                         ErrorLine(DMLERR_NOTPROCESSED));
    EXPECT_EQ(focus, owner);
    EXPECT_TRUE(Exists(GroupDir("Tools")));
    EXPECT_TRUE(ListDir(GroupDir("Tools")).empty());
}

// Quoted, names and paths with commas and parentheses reach the server
// whole: the item is made in that group, pointing at that file.
TEST_F(Misc, CommasAndParenthesesAreQuoted) {
    const std::string group = "Tools (old)";
    RemoveTree(GroupDir(group));
    Item(group.c_str(), "Viewer, Big5");
    const std::string dir = out.Join("Program Files (x86), Kit");
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    CopyText(SetupInfo.MiscItems[0].DstDir, dir.c_str());
    const std::string path = dir + "\\VIEWER.EXE";
    EXPECT_EQ(Install(), 1);
    EXPECT_NE(lines.find(Sent("[AddItem(\"" + path + "\",\"Viewer, Big5\")]") + "\tDone\n"),
              std::string::npos)
        << lines;
    EXPECT_EQ(ListDir(GroupDir(group)), std::vector<std::string>{"Viewer, Big5.lnk"});
    EXPECT_NE(ReadBytes(GroupDir(group) + "\\Viewer, Big5.lnk").find(path), std::string::npos);
    RemoveTree(GroupDir(group));
}

// What no quoting can carry gets no item, and nothing is sent: a group
// that would end its command and start another (here one that deletes the
// user's Accessories group), a quote, a control character, a name cut to
// fit. The file stays installed; the trace says why.
TEST_F(Misc, WhatNoQuotingCarriesGetsNoItem) {
    const std::string accessories = GroupDir("Accessories");
    const bool made = CreateDirectoryA(accessories.c_str(), nullptr) != 0;
    const struct {
        const char* group;
        const char* name;
        int cut;
        const char* why;
    } cases[] = {
        {"X)][DeleteGroup(Accessories", "Viewer", 0, "group name holds \" [ ] or a control character"},
        {"Tools", "Viewer \"2\"", 0, "item name holds \" [ ] or a control character"},
        {"Tools\tNew", "Viewer", 0, "group name holds \" [ ] or a control character"},
        {"Tools", "Viewer", 1, "group name too long"},
    };
    RecordingServer server;
    RunTime().ProgmanService = RecordingServer::kService;
    for (const auto& c : cases) {
        Item(c.group, c.name);
        SetupInfo.MiscItems[0].GroupCut = c.cut;
        EXPECT_EQ(Install(), 0) << c.group;
        EXPECT_EQ(lines, "Dest " + out.Join("VIEWER.EXE") + "\nAdding " + c.name + " into group " +
                             c.group + "\n\tNo item: " + c.why + "\n");
        EXPECT_EQ(ReadBytes(out.Join("VIEWER.EXE")), kProgram);
    }
    SetupInfo.MiscItems[0].GroupCut = 0;
    server.Stop();
    EXPECT_TRUE(server.Commands.empty());
    EXPECT_TRUE(Exists(accessories));
    if (made) RemoveDirectoryA(accessories.c_str());
}

// A Big5 name whose second byte is a bracket's is no bracket.
TEST_F(Misc, Big5SecondBytesAreNoBrackets) {
    RecordingServer server;
    RunTime().ProgmanService = RecordingServer::kService;
    const std::string name = Ansi(u8"加包");  // A5 5B, A5 5D in Big5
    Item("Tools", name.c_str());
    EXPECT_EQ(Install(), 1);
    server.Stop();
    ASSERT_EQ(server.Commands.size(), 3u);
    EXPECT_EQ(server.Commands[1], "[ReplaceItem(\"" + name + "\")]" + std::string(1, '\0'));
}

// What goes over the wire: each command as text with its terminator, on
// the topic PROGMAN, for the group Tools, the item Viewer and the path
// C:\APP\VIEW.EXE.
TEST_F(Misc, CommandsAreSentAsTextWithTheirTerminator) {
    RecordingServer server;
    RunTime().ProgmanService = RecordingServer::kService;
    Item("Tools");
    EXPECT_EQ(Traced([this] { return AddProgmanItem(owner, 0, "C:\\APP\\VIEW.EXE"); }), 1);
    server.Stop();
    const std::string create = R"([CreateGroup("Tools")][ShowGroup("Tools",1)])";
    const std::string replace = R"([ReplaceItem("Viewer")])";
    const std::string add = R"([AddItem("C:\APP\VIEW.EXE","Viewer")])";
    const std::string nul(1, '\0');
    EXPECT_EQ(server.Commands, (std::vector<std::string>{create + nul, replace + nul, add + nul}));
    EXPECT_EQ(server.Topic, "PROGMAN");
    EXPECT_EQ(lines, Head("Viewer", "Tools") + Sent(create) + Sent(replace) +
                         ErrorLine(DMLERR_NO_ERROR) + Sent(add) + "\tDone\n" +
                         ErrorLine(DMLERR_NO_ERROR));
    EXPECT_EQ(focus, owner);
}

// Calls AddProgmanItem for item 0 again when DdeConnect's broadcast, sent
// to every top-level window, looks for a server here.
int nestedResult = -1;
LRESULT CALLBACK CallsAgain(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_DDE_INITIATE) return DefWindowProcA(w, message, wParam, lParam);
    nestedResult = AddProgmanItem(w, 0, "C:\\APP\\VIEW.EXE");
    return 0;
}

// A call from within a conversation starts no second one and leaves the
// first whole.
TEST_F(Misc, NoCallStartsAConversationWithinAnother) {
    RecordingServer server;
    RunTime().ProgmanService = RecordingServer::kService;
    Item("Tools");
    nestedResult = -1;
    SetWindowLongPtrA(other, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CallsAgain));
    EXPECT_EQ(Traced([this] { return AddProgmanItem(owner, 0, "C:\\APP\\VIEW.EXE"); }), 1);
    server.Stop();
    EXPECT_EQ(nestedResult, 0);
    EXPECT_EQ(server.Commands.size(), 3u);
    EXPECT_NE(lines.find("\tConnecting\nAdding Viewer into group Tools\n"
                         "\tNo item: a conversation is under way\n\tSending Command"),
              std::string::npos)
        << lines;
}

// Each command waits a second for the server: one that is not answered
// fails the item and nothing more is sent. The server holds that command
// until the client has given up, and only then lets the conversation go.
TEST_F(Misc, CommandsWaitOneSecondForTheServer) {
    Item("Tools");
    RecordingServer server(true);
    RunTime().ProgmanService = RecordingServer::kService;
    const std::string timedOut = ErrorLine(DMLERR_EXECACKTIMEOUT);
    const std::string traceFile = scratch.Join("trace.txt");
    std::thread releaser([&] {
        for (DWORD waited = 0; waited < kWait && ReadBytes(traceFile).find(timedOut) == std::string::npos;
             waited += 20)
            Sleep(20);
        server.Release();
    });
    const DWORD start = GetTickCount();
    EXPECT_EQ(Traced([&] { return AddProgmanItem(owner, 0, "C:\\APP\\VIEW.EXE"); }), 0);
    // GetTickCount moves a tick (up to 16 ms) at a time: it may read one short.
    EXPECT_GE(GetTickCount() - start + 16, 1000u);
    releaser.join();
    server.Stop();
    EXPECT_EQ(server.Commands.size(), 1u);
    EXPECT_EQ(lines, Head("Viewer", "Tools") +
                         Sent(R"([CreateGroup("Tools")][ShowGroup("Tools",1)])") + timedOut);
    EXPECT_EQ(focus, owner);
}

}  // namespace
