// The registry calls that take a subkey's path came with Vista; only the
// tests use them.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include "support/testutil.h"
#include "support/winui.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

std::string Ansi(const char* utf8) {
    int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (wide <= 0) throw std::runtime_error("not UTF-8: " + std::string(utf8));
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &w[0], wide);
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, &lossy);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, &out[0], n, nullptr, &lossy);
    if (lossy)
        throw std::runtime_error("not in ANSI code page " + std::to_string(GetACP()) + ": " + utf8);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

std::string Utf8(const std::string& ansi) {
    int wide = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &w[0], wide);
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return out;
}

TempDir::TempDir() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        std::string name = std::string(base) + "qst" + std::to_string(GetCurrentProcessId()) +
                           "_" + std::to_string(++counter);
        if (CreateDirectoryA(name.c_str(), nullptr)) {
            path_ = name;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no temp dir");
    }
}

TempDir::~TempDir() { RemoveTree(path_); }

std::string TempDir::Join(const std::string& name) const { return path_ + "\\" + name; }

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    return WriteBytes(Join(name), bytes);
}

std::string WriteBytes(const std::string& file, const std::string& bytes, bool datedBack) {
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + file);
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (ok && datedBack) {
        ULARGE_INTEGER t;
        FILETIME stamp;
        GetSystemTimeAsFileTime(&stamp);
        t.LowPart = stamp.dwLowDateTime;
        t.HighPart = stamp.dwHighDateTime;
        t.QuadPart -= 36000000000ULL;  // an hour, in 100 ns
        stamp.dwLowDateTime = t.LowPart;
        stamp.dwHighDateTime = t.HighPart;
        ok = SetFileTime(h, nullptr, nullptr, &stamp);
    }
    CloseHandle(h);
    if (!ok || written != bytes.size()) throw std::runtime_error("cannot write " + file);
    return file;
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return bytes;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    fclose(f);
    return bytes;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ShortPath(const std::string& path) {
    char buf[MAX_PATH] = "";
    const DWORD n = GetShortPathNameA(path.c_str(), buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buf) : std::string();
}

std::vector<std::string> ListDir(const std::string& dir, const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "\\" + pattern).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> TempFiles() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return ListDir(dir, "tmp*.tmp");
}

std::vector<std::string> StandardOutputOf(const std::function<void()>& run) {
    CapturedStdout captured;
    run();
    std::vector<std::string> lines;
    std::string line;
    for (char c : captured.Read()) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string WinePath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string Pattern(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 9)) & 0xFF);
    return s;
}

RegValue ReadValue(const std::string& path, const std::string& name) {
    RegValue v;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        v.text = "<no key>";
        return v;
    }
    char data[600] = "";
    DWORD size = sizeof data - 1;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &v.type, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS)
        v.text = "<no value>";
    else if (v.type == REG_DWORD)
        memcpy(&v.number, data, sizeof v.number);
    else
        v.text = data;
    RegCloseKey(key);
    return v;
}

void RemoveTestKeys() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "EUDC\\950");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuillTest");
}

namespace {
constexpr char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
}

void BaseFont::Register(const std::string& file) const {
    if (RegSetKeyValueA(HKEY_LOCAL_MACHINE, kFontsKey, kBaseFont, REG_SZ, file.c_str(),
                        static_cast<DWORD>(file.size() + 1)) != ERROR_SUCCESS)
        throw std::runtime_error("cannot register the base font");
}

BaseFont::~BaseFont() { RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kFontsKey, kBaseFont); }

CurrentDirectory::CurrentDirectory(const std::string& dir) {
    char buf[1024] = "";
    const DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    cwd_.assign(buf, n < sizeof buf ? n : 0);
    hadC_ = GetEnvironmentVariableA("=C:", buf, sizeof buf) > 0;
    c_ = buf;
    if (!dir.empty() && !SetCurrentDirectoryA(dir.c_str())) throw std::runtime_error("cannot enter " + dir);
}

void CurrentDirectory::Enter(const std::string& dir) const {
    if (!SetCurrentDirectoryA(dir.c_str())) throw std::runtime_error("cannot enter " + dir);
}

std::string CurrentDirectory::Now() {
    char buf[1024] = "";
    const DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    return n < sizeof buf ? std::string(buf, n) : std::string("(too long)");
}

void CurrentDirectory::Restore() const {
    SetCurrentDirectoryA(cwd_.c_str());
    SetEnvironmentVariableA("=C:", hadC_ ? c_.c_str() : nullptr);
}
