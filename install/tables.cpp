#include "install/tables.h"

#include "common/messages.h"
#include "install/assemble.h"
#include "install/regkey.h"
#include "res/texts.h"
#include "setup/catalogue.h"

namespace {

bool SetDword(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

}  // namespace

int InstallTableItem(HWND owner, int index) {
    const TableItem& table = SetupInfo.TableItems[index];
    AssembledFile built;
    if (!AssembleItem(owner, table, 0, &built)) return 0;

    // An empty UserKey would put the values at the root of HKEY_CURRENT_USER,
    // and one cut to fit would name another key: neither is used.
    HKEY key = nullptr;
    if (table.UserKey[0] == '\0' || table.UserKeyCut ||
        !OpenKeyForWriting(HKEY_CURRENT_USER, table.UserKey, &key)) {
        // An empty one names the root it would have written to.
        ShowDiagnostic(owner, kCantCreateKey, table.UserKey[0] != '\0' ? table.UserKey : kUserRoot);
        return 0;
    }
    KeyCloser closer(key);
    const DWORD size = static_cast<DWORD>(TextLength(built.Path)) + 1;
    bool written =
        RegSetValueExA(key, "User Dictionary", 0, REG_SZ, reinterpret_cast<const BYTE*>(built.Path),
                       size) == ERROR_SUCCESS;
    if (written && table.HasMode) written = SetDword(key, "Mode Configuration", table.Mode);
    if (written && table.HasLayout) written = SetDword(key, "Reverse Layout", table.Layout);
    if (!written) {
        ShowDiagnostic(owner, kCantWriteKey, table.UserKey);
        return 0;
    }
    return 1;
}
