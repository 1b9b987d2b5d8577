#include "install/regkey.h"

bool OpenKeyForWriting(HKEY root, const char* path, HKEY* key) {
    *key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_WRITE, key) == ERROR_SUCCESS) return true;
    HKEY created = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(created);
    if (RegOpenKeyExA(root, path, 0, KEY_WRITE, key) == ERROR_SUCCESS) return true;
    *key = nullptr;
    return false;
}
