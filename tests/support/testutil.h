// Small helpers shared by the test programs: texts, files, test data.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The one limit of every wait in the tests, in ms: the driver's, and the
// in-process dialog scripts'. Only a hang reaches it; a cold Wine desktop
// does not.
constexpr DWORD kWait = 60000;

// A UTF-8 text in the ANSI code page (Big5 under 950), converted by the
// platform itself, so tests can write Chinese expectations readably.
// Throws std::runtime_error for a character the code page lacks.
std::string Ansi(const char* utf8);
// Back to UTF-8, for readable failure text.
std::string Utf8(const std::string& ansi);

// A fresh directory under the Windows temporary directory, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path of a name inside the directory.
    std::string Join(const std::string& name) const;
    // Writes bytes to a file inside the directory; returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

// File helpers over the ANSI functions.
// Writes bytes to a file, made or emptied; returns its path. Dated back, it
// was last written an hour ago, as a file on a medium was: Wine's profile
// reader parses a file written in the last two seconds anew on every call.
std::string WriteBytes(const std::string& file, const std::string& bytes, bool datedBack = false);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
// The short (8.3) form of an existing path; empty when there is none.
std::string ShortPath(const std::string& path);
// Names in a directory, without . and .., in byte order.
std::vector<std::string> ListDir(const std::string& dir, const std::string& pattern = "*");
// Removes a directory tree (ANSI names).
void RemoveTree(const std::string& path);
// The tmp*.tmp files of the system temporary directory.
std::vector<std::string> TempFiles();

// A value under HKEY_CURRENT_USER: its type (REG_NONE when there is none),
// a string's text (else "<no key>" or "<no value>"), a number's value.
struct RegValue {
    DWORD type = REG_NONE;
    std::string text;
    DWORD number = 0xDEADBEEF;
};
RegValue ReadValue(const std::string& path, const std::string& name);
// HKEY_CURRENT_USER's EUDC\950 and Software\QuillTest, which the tests
// write, removed whole.
void RemoveTestKeys();

// The base font the test descriptions name, in the system's font list
// while the object lives (its file name is all that is looked at).
constexpr char kBaseFont[] = "QuillTest Base (TrueType)";
class BaseFont {
public:
    explicit BaseFont(const std::string& file = "base.ttf") { Register(file); }
    ~BaseFont();
    BaseFont(const BaseFont&) = delete;
    BaseFont& operator=(const BaseFont&) = delete;
    void Register(const std::string& file) const;  // throws when it can't
};

// Puts back the current directory, and drive C's remembered one ("=C:",
// which SetCurrentDirectoryA alone does not set under Wine), when it goes;
// enters dir, when one is given, or throws.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& dir = "");
    ~CurrentDirectory() { Restore(); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;
    void Restore() const;
    // Enters dir, or throws; the guard still puts back what was before.
    void Enter(const std::string& dir) const;
    // The current directory.
    static std::string Now();

private:
    std::string cwd_, c_;
    bool hadC_ = false;
};

// What run writes to standard output, as lines: the C run-time's and the
// handle's, which the programs it starts inherit (a CapturedStdout).
std::vector<std::string> StandardOutputOf(const std::function<void()>& run);

// Wine shows the Unix file system as drive Z:.
std::string WinePath(const std::string& unixPath);

// n bytes that differ with seed and do not repeat every 256 bytes, so a
// piece joined twice or left out shows.
std::string Pattern(size_t n, unsigned seed);

#ifdef LZDATA_DIR_UNIX
// Data made by mscompress at build time (scripts/make-lzdata).
inline std::string LzData(const std::string& name) { return WinePath(LZDATA_DIR_UNIX) + "\\" + name; }
#endif
