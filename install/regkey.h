// Registry keys the installers write to.
#pragma once

#include <windows.h>

// Opens root\path for writing; when that fails, creates it with full access,
// closes that handle and opens it for writing again. false when it can't.
bool OpenKeyForWriting(HKEY root, const char* path, HKEY* key);

// Closes the key when it is open, once.
class KeyCloser {
public:
    explicit KeyCloser(HKEY& key) : key_(key) {}
    ~KeyCloser() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

private:
    HKEY& key_;
};
