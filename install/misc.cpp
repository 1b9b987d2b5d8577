#include "install/misc.h"

#include <ddeml.h>

#include "common/proc.h"
#include "common/text.h"
#include "common/trace.h"
#include "install/assemble.h"
#include "setup/catalogue.h"

namespace {

// Room for the longest command: 71-character names and a 127-character
// path, each in quotes.
constexpr int kCommandLen = 280;
// Program Manager gets this long for each command.
constexpr DWORD kCommandTimeout = 1000;

// The conversation of one AddProgmanItem call: made by it, handed to the
// steps that use it, and released before it returns.
struct Conversation {
    DWORD Instance = 0;
    HSZ Topic = nullptr;
    HSZ Service = nullptr;  // Topic itself when the service is Program Manager's
    HCONV Handle = nullptr;
};

// The client's DDE callback: traces what the server reports, returns 0.
HDDEDATA CALLBACK DdeCallback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    switch (type) {
        case XTYP_ERROR:
            Trace("XTYP_ERROR received\n");
            break;
        case XTYP_XACT_COMPLETE:
            Trace("XTYP_XACT_COMPLETE received\n");
            break;
        case XTYP_DISCONNECT:
            // Only traced: the conversation's own calls fail from then on.
            Trace("Server forced disconnect\n");
            break;
        default:
            break;
    }
    return nullptr;
}

bool Execute(const Conversation& dde, char (&command)[kCommandLen]) {
    Trace("\tSending Command %s\n", command);
    // The server reads the text up to and with its terminator.
    const DWORD size = static_cast<DWORD>(TextLength(command)) + 1;
    return DdeClientTransaction(reinterpret_cast<LPBYTE>(command), size, dde.Handle, nullptr,
                                CF_TEXT, XTYP_EXECUTE, kCommandTimeout, nullptr) != nullptr;
}

// Everything after the instance is made; the caller releases whatever this
// made in dde.
int Converse(Conversation& dde, const MiscItem& item, const char* path) {
    dde.Topic = DdeCreateStringHandleA(dde.Instance, kProgman, CP_WINANSI);
    if (dde.Topic == nullptr) return 0;
    // Only a service other than Program Manager's needs a handle of its own.
    const char* name = RunTime().ProgmanService;
    dde.Service = lstrcmpiA(name, kProgman) == 0
                      ? dde.Topic
                      : DdeCreateStringHandleA(dde.Instance, name, CP_WINANSI);
    if (dde.Service == nullptr) return 0;

    Trace("\tConnecting\n");
    dde.Handle = DdeConnect(dde.Instance, dde.Service, dde.Topic, nullptr);
    if (dde.Handle == nullptr) return 0;

    // Every argument in quotes: unquoted, Program Manager ends one at
    // , ( ) [ ] and reads the rest as more arguments or more commands.
    char command[kCommandLen];
    FormatText(command, "[CreateGroup(\"%s\")][ShowGroup(\"%s\",1)]", item.Group, item.Group);
    if (!Execute(dde, command)) return 0;
    // Fails when the group has no such item yet, as on a first install.
    FormatText(command, "[ReplaceItem(\"%s\")]", item.Name);
    Execute(dde, command);
    Trace("\tDDE Error 0x%x\n", DdeGetLastError(dde.Instance));
    FormatText(command, "[AddItem(\"%s\",\"%s\")]", path, item.Name);
    if (!Execute(dde, command)) return 0;
    Trace("\tDone\n");
    return 1;
}

// True when text can stand in quotes in a command: no quote (which would
// end it), no bracket (which ends a command in some Program Managers) and no
// control character. Walked by characters (CharNextA): in code page 950 a
// second byte may be a bracket's byte, and a first byte is never one.
bool Quotable(const char* text) {
    for (const char* p = text; *p != '\0'; p = CharNextA(p)) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '[' || c == ']' || c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

}  // namespace

const char* ProgmanRefusal(const MiscItem& item, const char* path, const char** refused) {
    const auto refuse = [refused](const char* reason, const char* text) {
        if (refused != nullptr) *refused = text;
        return reason;
    };
    if (item.GroupCut) return refuse("group name too long", item.Group);
    if (!Quotable(item.Group)) return refuse("group name holds \" [ ] or a control character", item.Group);
    if (!Quotable(item.Name)) return refuse("item name holds \" [ ] or a control character", item.Name);
    if (!Quotable(path)) return refuse("path holds \" [ ] or a control character", path);
    return nullptr;
}

int InstallMiscItem(HWND owner, int index) {
    AssembledFile file;
    if (!AssembleItem(owner, SetupInfo.MiscItems[index], 1, &file)) return 0;
    return AddProgmanItem(owner, index, file.QualifiedPath);
}

int AddProgmanItem(HWND owner, int index, const char* path) {
    const MiscItem& item = SetupInfo.MiscItems[index];
    if (item.Group[0] == '\0') return 1;

    Trace("Adding %s into group %s\n", item.Name, item.Group);
    if (const char* reason = ProgmanRefusal(item, path)) {
        Trace("\tNo item: %s\n", reason);
        return 0;
    }
    // A conversation runs a modal loop of its own: a call from within it is
    // refused, so that Program Manager has one conversation of ours at a time.
    static bool conversing = false;
    if (conversing) {
        Trace("\tNo item: a conversation is under way\n");
        return 0;
    }
    Conversation dde;
    Trace("\tInitializing\n");
    if (DdeInitializeA(&dde.Instance, DdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return 0;
    conversing = true;
    const int result = Converse(dde, item, path);

    // A failed item is not the user's to hear about: the trace only.
    Trace("\tDDE Error 0x%x\n", DdeGetLastError(dde.Instance));
    if (dde.Handle != nullptr) DdeDisconnect(dde.Handle);
    if (dde.Service != nullptr && dde.Service != dde.Topic)
        DdeFreeStringHandle(dde.Instance, dde.Service);
    if (dde.Topic != nullptr) DdeFreeStringHandle(dde.Instance, dde.Topic);
    DdeUninitialize(dde.Instance);
    conversing = false;
    // The server's group window may have taken it.
    SetFocus(owner);
    return result;
}
