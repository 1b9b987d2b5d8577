// Setup descriptions for the loader tests, written as real files and read
// back by the platform's profile reader.
#pragma once

#include <cstring>
#include <string>

#include "setup/catalogue.h"
#include "support/testutil.h"

// The catalogue before each load: every byte 0xA5, so that a text left
// unterminated or a write where none belongs shows.
constexpr unsigned char kPoison = 0xA5;

inline void PoisonCatalogue() {
    memset(&SetupInfo, kPoison, sizeof SetupInfo);
    CopyText(SetupInfo.WindowsDir, "C:\\WINDOWS");
}

inline bool IsPoison(const void* p, size_t n) {
    const unsigned char* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i] != kPoison) return false;
    return true;
}

// The example medium: one viewer, two fonts over two disks, one table.
inline const char kWorkedExample[] = R"([Misc]
Items=1
Item1=Viewer

[Misc Files]
Viewer Files=1
Viewer File1=VIEWER.EXE
Viewer Disk1=Disk 1
Viewer DstDir=C:\FONTKIT
Viewer Compressed=1
Viewer Group=Font Kit

[Fonts]
Fonts=2
Font1=Sample Kai
Font2=Sample Song

[Font Files]
Sample Kai Size=960
Sample Kai Files=2
Sample Kai FontName=Sample Base (TrueType)
Sample Kai AFiles=2
Sample Kai AFontName1=Sample Base
Sample Kai AFontName2=Sample Base Bold
Sample Kai File1=SKAI.TTE
Sample Kai Disk1=Disk 1
Sample Kai File2=SKAI.P2
Sample Kai Disk2=Disk 2
Sample Song Size=870
Sample Song Files=1
Sample Song FontName=Sample Base (TrueType)
Sample Song AFiles=1
Sample Song AFontName1=Sample Song Face
Sample Song File1=SSONG.TTE
Sample Song Disk1=Disk 2

[Tbls]
Tbls=1
Tbl1=Phonetic

[Tbls Files]
Phonetic Files=1
Phonetic File1=PHONETIC.TBL
Phonetic Disk1=Disk 2
Phonetic Compressed=1
Phonetic UserKey=Software\FontKit\Phonetic
Phonetic Mode=1F
)";

// Lines end in CR LF, as on the medium.
inline std::string Dos(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Writes each description under a name of its own: the profile reader
// caches recently read files by name.
class DescriptionFiles {
public:
    // utf8 is converted to the ANSI code page; raw bytes go as they are.
    std::string Write(const std::string& utf8) { return WriteRaw(Ansi(Dos(utf8).c_str())); }
    std::string WriteRaw(const std::string& bytes) {
        return dir_.Write("d" + std::to_string(++count_) + ".ini", bytes);
    }
    const TempDir& Dir() const { return dir_; }

private:
    TempDir dir_;
    int count_ = 0;
};
