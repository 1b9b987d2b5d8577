// Small helpers shared by the test programs.
#pragma once

#include <string>

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

// Writes bytes to a file, made or emptied; returns its path.
std::string WriteBytes(const std::string& file, const std::string& bytes);

// Removes a directory tree (ANSI names).
void RemoveTree(const std::string& path);
